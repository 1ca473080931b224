#include "Commands.h"
#include "CtlError.h"
namespace zak::ctl {
int RunExport(const Context&) {
    throw CtlError(ExitStatus::Usage, "export: not built yet");
}
int RunImport(const Context&) {
    throw CtlError(ExitStatus::Usage, "import: not built yet");
}
}  // namespace zak::ctl
