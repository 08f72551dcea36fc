// The folder index and the DICOMDIR tree on hostile input: offsets that loop or
// point astray, and a folder of things that are not plain DICOM files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/velkdump.h"
#include "index/directory_tree.h"
#include "index/folder_walk.h"
#include "index/index_file.h"
#include "tests/support/csv_reader.h"
#include "tests/support/dicom_builder.h"

namespace velk {
namespace {

namespace fs = std::filesystem;
using test::dicom_builder;
using test::le32;

dicom_builder part10_start() {
    dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    return b;
}

// A DICOMDIR of PATIENT records of 48 bytes each; links[k] gives record k's next
// and lower offsets, each a record's index or, at or above `raw`, an offset as
// it is (minus `raw`).
constexpr std::uint32_t raw = 1u << 31;
std::string directory_of(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& links) {
    dicom_builder b = part10_start();
    const std::uint32_t first = std::uint32_t(b.size()) + 12 + 12;
    auto offset = [&](std::uint32_t link) {
        return link == 0 ? 0 : link >= raw ? link - raw : first + 48 * (link - 1);
    };
    b.explicit_element(0x0004, 0x1200, "UL", le32(first)).sequence(0x0004, 0x1220);
    for (const auto& [next, lower] : links) {
        b.item(40)
            .explicit_element(0x0004, 0x1400, "UL", le32(offset(next)))
            .explicit_element(0x0004, 0x1420, "UL", le32(offset(lower)))
            .explicit_element(0x0004, 0x1430, "CS", "PATIENT ");
    }
    b.sequence_end();
    return b.bytes();
}

std::vector<std::string> shape(const dcm_directory_tree& tree) {
    std::vector<std::string> lines;
    for (const dcm_directory_node& n : tree.nodes)
        lines.push_back(std::to_string(n.depth) + " " + (n.problem.empty() ? n.type : n.problem));
    return lines;
}

TEST(DirectoryTree, BrokenOffsetsEndTheirBranchAndNothingLoops) {
    // Links are 1-based record numbers; 0 ends a chain.
    const std::string bytes = directory_of({
        {2, 3},              // 1: next 2, lower 3
        {raw + 1000000, 0},  // 2: next outside the file
        {raw + 1, 1},        // 3: next at no record, lower back up to 1 (a loop)
        {4, 4},              // 4: reached by nothing, and its own next and lower
    });
    const dcm_directory_tree tree = dcm_read_directory(bytes.data(), bytes.data() + bytes.size());
    ASSERT_EQ(tree.problem, "");
    const std::string size = std::to_string(bytes.size());
    EXPECT_EQ(shape(tree), (std::vector<std::string>{
                               "0 PATIENT",
                               "1 PATIENT",
                               "2 offset 184 leads to a record already in the tree (a loop)",
                               "1 offset 1 is not the start of a directory record",
                               "0 PATIENT",
                               "0 offset 1000000 lies outside the file (" + size + " bytes)",
                           }));
    EXPECT_EQ(tree.records, 4u);
    EXPECT_EQ(tree.unreached, 1u);
}

TEST(DirectoryTree, FileIdsThatLeaveTheFolderNameNoPath) {
    std::string problem;
    EXPECT_EQ(dcm_file_id_path({"PT0", "ST0", "IM1"}, problem), "PT0/ST0/IM1");
    EXPECT_EQ(problem, "");
    for (const std::vector<std::string>& bad :
         std::vector<std::vector<std::string>>{{"..", "etc"}, {"C:", "X"}, {"A", ""}, {"/etc"}}) {
        problem.clear();
        EXPECT_EQ(dcm_file_id_path(bad, problem), "");
        EXPECT_NE(problem, "");
    }
}

// An image's header, then Pixel Data declaring more bytes than the file has:
// the index stops before it, so the row has no problem.
dicom_builder image(std::size_t private_bytes = 0) {
    dicom_builder b = part10_start();
    if (private_bytes) b.explicit_element(0x0009, 0x1001, "OB", std::string(private_bytes, 'x'));
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^Jane")
        .explicit_element(0x0020, 0x0013, "IS", "7 ")
        .explicit_element(0x0028, 0x0010, "US", test::le16(512))
        .explicit_element(0x0028, 0x0011, "US", test::le16(256))
        .explicit_header(0x7FE0, 0x0010, "OW", 0x7FFFFFF0u);
    return b;
}

struct index_run {
    int status;
    test::csv_records rows;  // without the header
    std::string err;
};

std::string read_all(std::FILE* f) {
    std::string text;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;) text += char(c);
    std::fclose(f);
    return text;
}

index_run run_index(const fs::path& folder) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    index_run run;
    run.status = velkdump({"--index", "-r", "-j", "2", folder.string()}, out, err);
    const std::string csv = read_all(out);
    run.err = read_all(err);
    EXPECT_TRUE(test::read_csv(csv, run.rows)) << csv;
    if (!run.rows.empty()) run.rows.erase(run.rows.begin());
    return run;
}

TEST(FolderIndex, ListsWhatItCanReadAndSaysWhyNotForTheRest) {
    const fs::path folder = fs::path(testing::TempDir()) / "velk_index_hostile";
    fs::remove_all(folder);
    fs::create_directories(folder / "sub");
    ASSERT_TRUE(image().write((folder / "a.dcm").string()));
    // A header longer than the first bytes read: read again from a mapping.
    ASSERT_TRUE(image(dcm_index_prefix_bytes + 1000).write((folder / "sub/long.dcm").string()));
    ASSERT_TRUE(dicom_builder().raw("plain text").write((folder / "notes.txt").string()));
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", folder / "device");
    fs::create_symlink(folder / "loop2", folder / "loop1");
    fs::create_symlink(folder / "loop1", folder / "loop2");
    fs::create_directory_symlink(folder, folder / "sub/up");
    const bool permissions_bind = ::geteuid() != 0;  // root reads anything
    if (permissions_bind) {
        ASSERT_TRUE(image().write((folder / "locked.dcm").string()));
        fs::permissions(folder / "locked.dcm", fs::perms::none);
    }

    // The folder window's walk finds the files velkdump's does, and nothing else.
    std::vector<std::string> walked;
    dcm_walk_folder(folder, [&](const fs::path& p) {
        walked.push_back(p.lexically_relative(folder).generic_string());
        return true;
    });
    std::vector<std::string> files{"a.dcm", "notes.txt", "sub/long.dcm"};
    if (permissions_bind) files.insert(files.begin() + 1, "locked.dcm");
    EXPECT_EQ(walked, files);

    const index_run run = run_index(folder);
    ASSERT_EQ(run.rows.size(), permissions_bind ? 3u : 2u) << run.err;
    const std::vector<std::string>& a = run.rows[0];
    EXPECT_EQ(a[0], (folder / "a.dcm").string());
    EXPECT_EQ(a[1], "Doe^Jane");
    EXPECT_EQ(a[8], "7");
    EXPECT_EQ(a[10], "512 x 256");
    EXPECT_EQ(a[12], "Explicit VR Little Endian");
    EXPECT_EQ(a[14], "");
    if (permissions_bind) {
        EXPECT_EQ(run.rows[1][14], "access denied");
        EXPECT_EQ(run.status, 1);
    } else {
        EXPECT_EQ(run.status, 0);
    }
    const std::vector<std::string>& long_header = run.rows.back();
    EXPECT_EQ(long_header[1], "Doe^Jane");
    EXPECT_EQ(long_header[14], "");
    EXPECT_NE(run.err.find("1 file skipped: not DICOM part-10"), std::string::npos) << run.err;
    if (permissions_bind) fs::permissions(folder / "locked.dcm", fs::perms::owner_all);
    fs::remove_all(folder);
}

TEST(FolderIndex, AFileThatVanishedGetsItsReason) {
    const fs::path path = fs::path(testing::TempDir()) / "velk_index_vanished.dcm";
    ASSERT_TRUE(image().write(path.string()));
    fs::remove(path);
    dcm_index_row row;
    std::vector<char> buffer;
    EXPECT_EQ(dcm_index_file(path, row, buffer), dcm_index_outcome::unreadable);
    EXPECT_EQ(row.cell(dcm_index_column::problem), "no such file");
}

}  // namespace
}  // namespace velk
