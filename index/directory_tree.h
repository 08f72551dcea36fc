// The record tree of a DICOMDIR: its directory records (the items of the
// Directory Record Sequence, (0004,1220)) as the tree their offsets encode.
// A record's Offset of the Next Directory Record (0004,1400) names its next
// sibling, its Offset of Referenced Lower-Level Directory Entity (0004,1420) its
// first child, and (0004,1200) the first record of the root; each offset counts
// from the file's first byte to the item that starts the record (PS3.10 section
// 8.5 and PS3.3 annex F.3).
//
// Broken offsets end their branch with a node that says why: an offset past the
// file's end, one that is not the start of a record, and one leading to a record
// already in the tree (a loop, or a record reached twice). Each record enters
// the tree at most once, so the tree has at most twice as many nodes as the
// file has records and is built without recursion: no offsets make it hang.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velk {

struct dcm_directory_node {
    unsigned depth = 0;        // 0 for the root's records
    std::uint64_t offset = 0;  // the record's item, from the file's first byte
    std::string type;          // Directory Record Type: "PATIENT", "STUDY", "SERIES", "IMAGE" ...
    // The record's key values that are present, by tag, in the record's order
    // (Patient's Name, Patient ID, Study Date, Study ID, ... Instance Number).
    std::vector<std::pair<std::uint32_t, std::string>> keys;
    // Referenced File ID (0004,1500): its components, and the same joined by "/"
    // as a path relative to the DICOMDIR's folder. Empty when the record names no
    // file, or when a component could leave the folder (see problem).
    std::vector<std::string> file_id;
    std::string path;
    std::string sop_class;  // Referenced SOP Class UID in File, by name where known
    std::string problem;    // a broken offset (the node is no record then) or file ID
};

struct dcm_directory_tree {
    std::vector<dcm_directory_node> nodes;  // in tree order: each record, then its children
    std::size_t records = 0;                // records in the sequence
    std::size_t unreached = 0;              // records no offset leads to
    std::string problem;                    // why there is no tree at all, or empty
};

// Reads the tree of the part-10 DICOMDIR bytes [begin, end). Memory: one
// 20-byte record per element of the file while it reads, and the tree.
dcm_directory_tree dcm_read_directory(const char* begin, const char* end);

// A node in one line: its type and key values ("PATIENT  Patient's Name: Doe^J;
// Patient ID: 7"), the path of the file it names ("  -> 77654033/CR1/6154"), and
// its problem in brackets; a broken offset alone shows its problem.
std::string dcm_directory_label(const dcm_directory_node& node);

// The path that a Referenced File ID's components name, joined by "/"; empty
// (and `problem` set) when a component is empty, "." or "..", or holds a
// character that would name another folder or drive ("/", ":").
std::string dcm_file_id_path(const std::vector<std::string>& components, std::string& problem);

}  // namespace velk
