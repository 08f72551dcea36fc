// The json format: a file's elements as the DICOM JSON model has them (an object
// keyed by "GGGGEEEE" tags, each element its "vr" and its "Value" list, a
// sequence's items as objects in that list), built with nlohmann-json. Binary
// values are not written inline: each is a "BulkDataURI" naming the file, the
// value's offset and its length in bytes.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "present/listing.h"
#include "present/row_model.h"

namespace velk {

// "file:///PATH?offset=N&length=M" for a value of the file at `path` (UTF-8,
// made absolute), the path percent-encoded.
std::string bulk_data_uri(const std::string& file_uri, std::uint64_t offset, std::uint64_t length);

// "file:///..." of the file at `path` (UTF-8): absolute, with "/" between
// folders and every byte outside the unreserved characters percent-encoded.
std::string file_uri(const std::string& path);

// The data set of the rows: every element but items and delimiters, which the
// nesting of objects and lists shows. The file meta information (the group 0002
// elements at the front) is no part of the data set: it goes to `meta` as an
// object of its own when that is given, and nowhere otherwise, so that a reader
// that writes the data set back does not put group 0002 in it.
// `uri` is the file's URI for the bulk data; with none (bytes read from a
// stream, which no URI can name again) binary values are written inline.
nlohmann::json dicom_json(const dcm_row_model& rows, dcm_bytes file, const std::string& uri,
                          nlohmann::json* meta = nullptr);

// The text of a document: indented for one file, one line for many.
std::string json_text(const nlohmann::json& document, bool one_line);

}  // namespace velk
