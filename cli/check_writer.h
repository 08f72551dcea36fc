// velkdump --check: a file's findings in each format. Text: one line per
// finding, "[PATH: ]SEVERITY KIND (gggg,eeee) at OFFSET: MESSAGE"; csv: one
// record per finding under write_check_csv_header's names; json: one object per
// file on one line, {"path": ..., "findings": [{"severity", "kind", "tag",
// "offset", "message"}]}. An offset in a deflated data set's inflated bytes is
// written "z123" (json: "inflated": true beside it), as the listing writes it.
#pragma once

#include <string>

#include "check/finding.h"
#include "cli/output.h"

namespace velk {

void write_check_text(const dcm_findings& findings, const std::string* path, text_output& out);
void write_check_csv_header(bool with_path, text_output& out);
void write_check_csv(const dcm_findings& findings, const std::string* path, text_output& out);
void write_check_json(const dcm_findings& findings, const std::string& path, text_output& out);

}  // namespace velk
