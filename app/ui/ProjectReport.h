#pragma once
// `infil --report FILE.infil OUT`: the report of a saved project written to
// OUT (.htm, .html or .pdf) without showing a window, for scripts.

#include "model/Folders.h"

#include <string>

namespace infil::ui {

// Whether OUT names a report the command can write.
bool isReportName(const std::string& out);

// Opens the project, writes its report to `out` and says on standard error
// why when it cannot. Needs a QApplication (any platform; offscreen is
// enough). Returns the exit status: 0 written, 1 not.
int writeProjectReport(const model::Folders& folders, const std::string& project, const std::string& out);

} // namespace infil::ui
