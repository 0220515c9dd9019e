// The registration's old place, for the tool's units that still name it; it lives in package/.
#ifndef KYT_TOOLS_KYTDESIGN_FORWARD_FRAMEWORK_KYTSYSREG_H
#define KYT_TOOLS_KYTDESIGN_FORWARD_FRAMEWORK_KYTSYSREG_H

#include "package/KYTSysReg.h"

#endif  // KYT_TOOLS_KYTDESIGN_FORWARD_FRAMEWORK_KYTSYSREG_H
