// MediaFiles.h: writes small, valid media files for tests: a PCM wave sound and a 24-bit
// bitmap picture.
#ifndef KYT_TESTS_SUPPORT_MEDIAFILES_H
#define KYT_TESTS_SUPPORT_MEDIAFILES_H

#include <string>

namespace kyt {

// An 8 kHz, 8-bit mono tone of the given length; false when the file cannot be written.
bool WriteWaveFile(const std::string& path, int milliseconds = 100);
// A width x height picture of one colour, bottom-up, rows padded to four bytes.
bool WriteBitmapFile(const std::string& path, int width = 8, int height = 8);

}  // namespace kyt

#endif  // KYT_TESTS_SUPPORT_MEDIAFILES_H
