// The check: what is wrong with a file, element by element, at its offset.
// It reads the records of a whole load and the file's bytes, in the load's
// reading (the Interpret reading reads values as decoded text), and never past
// the bytes. Bounded: each part is linear in the rows, and at most
// dcm_check_max_findings findings are kept.
#pragma once

#include "check/finding.h"
#include "present/row_model.h"

namespace velk {

// The findings of `rows`, loaded whole (load(), not load_in_chunks()) from
// `file`, in file order. A load that read no file gives none: why the file
// could not be read is the caller's to say. The list has room for a finding per
// row (up to dcm_check_max_findings): whoever keeps it beyond writing it out
// gives that back (dcm_findings::shrink_to_fit).
dcm_findings dcm_check(const dcm_row_model& rows, dcm_bytes file);

}  // namespace velk
