#include "core/check/check_run.h"

#include "core/check/check_page.h"
#include "core/doc/file_errors.h"
#include "core/doc/file_read.h"
#include "core/text/document_text.h"

#include <algorithm>

namespace zu::check {

std::string formatFinding(std::string_view file, const Finding& finding) {
    std::string line(file);
    line += ':' + std::to_string(finding.line) + ':' + std::to_string(finding.column) + ": ";
    line += severityName(finding.severity());
    line += ": ";
    line += finding.message;
    return line;
}

int runCheck(const std::vector<std::string>& files, std::ostream& out, std::ostream& errors) {
    int status = kClean;
    for (const std::string& file : files) {
        FileBytes read = readWholeFile(file, kMaxDocumentBytes);
        if (read.error != 0) {
            errors << fileErrorMessage(read.error, FileOp::Open, file) << '\n';
            status = kCannotCheck;
            continue;
        }
        const DocumentText document = decodeDetected(read.bytes);
        read.bytes = std::string();
        const std::vector<Finding> findings = checkPage(document.text, {document.encoding});
        for (const Finding& f : findings)
            out << formatFinding(file, f) << '\n';
        const bool problems = std::any_of(findings.begin(), findings.end(), [](const Finding& f) {
            return f.severity() == Severity::Problem;
        });
        if (problems && status == kClean)
            status = kProblems;
    }
    out.flush();
    return status;
}

} // namespace zu::check
