// KYTTVersionDetails: the text values of the running executable's version record (company,
// description, versions, names, copyright) as read-only properties.
#ifndef KYT_SYSTEM_KYTTVERSIONDETAILS_H
#define KYT_SYSTEM_KYTTVERSIONDETAILS_H

#include <cstdint>
#include <string>

#include "framework/KYTSystem.h"

namespace kyt {

// Reads the record of the process's own executable (in the designer: the designer's), once when
// created and again on ReInitialize. The string table is the US English one (language 1033) when
// the translation table lists it, otherwise the last one listed, or 0409/0000 without a table.
class TKYTVersionDetails : public TKYTSystemsComponent {
  KYT_CLASS(TKYTVersionDetails, TKYTSystemsComponent)
 public:
  static void Publish(TPublisher<TKYTVersionDetails>& p) {
    using C = TKYTVersionDetails;
    const auto info = [&](const char* name, auto getter) {
      p.Property(name, getter, &C::SetDesign).Stored(TStored::Never);
    };
    // The company that made the application.
    info("CompanyName", &C::CompanyName);
    // The description of the executable.
    info("FileDescription", &C::FileDescription);
    // The version of the executable file.
    info("FileVersion", &C::FileVersion);
    // The executable's internal name.
    info("InternalName", &C::InternalName);
    // The copyright notice.
    info("LegalCopyright", &C::LegalCopyright);
    // The file name the executable was built with.
    info("OriginalFilename", &C::OriginalFilename);
    // The name of the product the executable belongs to.
    info("ProductName", &C::ProductName);
    // The version of the product.
    info("ProductVersion", &C::ProductVersion);
  }

  explicit TKYTVersionDetails(TComponent* AOwner);
  ~TKYTVersionDetails() override;

  // Properties
  const std::string& CompanyName() const { return FCompanyName; }
  const std::string& FileDescription() const { return FFileDescription; }
  const std::string& FileVersion() const { return FFileVersion; }
  const std::string& InternalName() const { return FInternalName; }
  const std::string& LegalCopyright() const { return FLegalCopyright; }
  const std::string& OriginalFilename() const { return FOriginalFilename; }
  const std::string& ProductName() const { return FProductName; }
  const std::string& ProductVersion() const { return FProductVersion; }
  // The setter of every property: the value is ignored.
  void SetDesign(const std::string& value);

  // Methods
  // Reads the record again. Without a record, or when it cannot be loaded, every value stays
  // as it was; a value the chosen table lacks becomes empty.
  void ReInitialize();

  // The sub-block prefix of a string table: \StringFileInfo\LLLLCCCC\ in upper-case hex.
  static std::string StringTablePrefix(uint16_t language, uint16_t codePage);

 private:
  std::string FCompanyName;
  std::string FFileDescription;
  std::string FFileVersion;
  std::string FInternalName;
  std::string FLegalCopyright;
  std::string FOriginalFilename;
  std::string FProductName;
  std::string FProductVersion;
};

}  // namespace kyt

#endif  // KYT_SYSTEM_KYTTVERSIONDETAILS_H
