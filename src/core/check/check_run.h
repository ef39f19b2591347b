#pragma once
// `zu --check FILE...`: the page check from a shell or a site's build, with
// no window. Each file is read and decoded as the editor opens it (its
// encoding detected the same way), checked, and every finding printed as
//
//     file:line:column: severity: message
//
// (UTF-8, one line each, in the order of the file). A file that cannot be
// read gets the editor's message for it on the error stream.

#include "core/check/finding.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zu::check {

// What the run ends with: 2 when a file could not be read (or no file was
// named), else 1 when a finding is 問題あり, else 0. A build stops on a
// missing page as it does on a faulty one.
enum ExitStatus : int { kClean = 0, kProblems = 1, kCannotCheck = 2 };

int runCheck(const std::vector<std::string>& files, std::ostream& out, std::ostream& errors);

// One line of the output, without its line break.
std::string formatFinding(std::string_view file, const Finding& finding);

} // namespace zu::check
