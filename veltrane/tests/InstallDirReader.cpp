// A second run of the program as far as the installation record goes: prints the folder the
// record holds as the operating system takes it (Path::ToNative), or exits with 1.
#include "platform/core/Path.h"
#include "veltrane/model/JGDDSysCond.h"

#include <cstdio>
#include <string>

int main() {
    JGDDSysCondReg reg;
    reg.LoadRegistry("1.00.0000");
    std::string native;
    if (!Path::ToNative(reg.GetInstallDir(), native))
        return 1;
    std::fwrite(native.data(), 1, native.size(), stdout);
    return 0;
}
