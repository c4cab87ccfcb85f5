// The program's own version resource: the numbers and the company name.
#pragma once

#include <string>

namespace quillet::sys {

struct VersionInfo {
    int Major = 0;
    int Minor = 0;
    int Build = 0;
    int Revision = 0;
    std::wstring CompanyName;
};

// Read from the running executable's VERSIONINFO; all zero and empty when it has none.
VersionInfo ReadVersionInfo();

}  // namespace quillet::sys
