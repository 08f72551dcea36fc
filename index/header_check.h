// The check's error and warning counts for the folder index, over the header the
// index reads. A listing reads each file's header only, so it checks what it
// read: every element before the first one past Columns (0028,0011), as the
// check finds them in a whole load of those bytes. What needs the rest of the
// file is left out: the pixel description against Pixel Data, required
// attributes that belong after the cut, and the group length of the group the
// cut falls in. A file the walk read to its end is checked whole. A deflated
// data set cut inside its inflated bytes is not counted (the cells stay empty).
#pragma once

#include "index/header_scan.h"
#include "index/index_row.h"

namespace velk {

// Fills the errors and warnings cells of `row` from the part-10 bytes [begin,
// end) that `scan` walked. Memory: the records of the header read, one row
// model's worth, dropped on return.
void dcm_index_check_header(const char* begin, const char* end, const dcm_scan_result& scan,
                            dcm_index_row& row);

}  // namespace velk
