#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/stream_read.h"
#include "cli/velkdump.h"
#include "dicom_builder.h"

namespace velk {

namespace {

namespace fs = std::filesystem;
using test::dicom_builder;

struct run_result {
    int status;
    std::string out, err;
};

std::string contents(std::FILE* f) {
    std::rewind(f);
    std::string s;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    std::fclose(f);
    return s;
}

run_result run(const std::vector<std::string>& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = velkdump(args, out, err);
    return {status, contents(out), contents(err)};
}

class Formats : public testing::Test {
protected:
    void SetUp() override {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        m_folder = fs::path(testing::TempDir()) / (std::string("velkdump_") + test->name());
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }
    std::string file(const std::string& name, const std::string& bytes) {
        const fs::path path = m_folder / name;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    fs::path m_folder;
};

// Many files through every format, one by one and four at once, with a walked
// folder among them: the same output and messages, in argument order.
TEST_F(Formats, FilesListedAtOnceComeOutInArgumentOrder) {
    std::vector<std::string> args;
    for (int i = 0; i < 40; ++i) {
        const std::string name = std::to_string(i) + ".dcm";
        if (i % 9 == 4)
            args.push_back(file(name, "not part 10"));
        else if (i % 9 == 7)
            args.push_back((m_folder / ("missing" + name)).string());
        else
            args.push_back(
                file(name, dicom_builder()
                               .preamble()
                               .explicit_element(0x0020, 0x0013, "IS", std::to_string(i * 97) + " ")
                               .raw(std::string(i * 800, '\0'))
                               .bytes()));
    }
    const std::string small =
        dicom_builder().preamble().explicit_element(0x0020, 0x0013, "IS", "1 ").bytes();
    file("walked/sub/second.dcm", small);
    file("walked/first.dcm", small);
    file("walked/sub/readme.txt", "skipped in a walk, counted at the end");
    args.push_back((m_folder / "walked").string());
    for (const char* format : {"--format=text", "--format=csv", "--format=json"}) {
        std::vector<std::string> one = {format, "-r"};
        one.insert(one.end(), args.begin(), args.end());
        std::vector<std::string> four = one;
        four.insert(four.begin(), "-j4");
        const auto expected = run(one), got = run(four);
        EXPECT_EQ(expected.status, 1) << format;
        EXPECT_EQ(got.status, 1) << format;
        EXPECT_EQ(got.out, expected.out) << format;
        EXPECT_EQ(got.err, expected.err) << format;
        EXPECT_EQ(std::count(expected.err.begin(), expected.err.end(), '\n'), 9) << format;
        const std::string tally =
            "velkdump: 1 file skipped, not DICOM part-10 (--verbose names them); 8 files could not "
            "be listed\n";
        EXPECT_EQ(
            expected.err.substr(expected.err.size() - std::min(expected.err.size(), tally.size())),
            tally);
        const auto a = expected.out.find("first.dcm"), b = expected.out.find("second.dcm");
        EXPECT_TRUE(a != std::string::npos && b != std::string::npos && a < b) << format;
        EXPECT_EQ(expected.out.find("readme"), std::string::npos) << format;
    }
    const auto named = run({"-r", "--verbose", (m_folder / "walked").string()});
    EXPECT_EQ(named.err, "velkdump: " + (m_folder / "walked" / "sub" / "readme.txt").string() +
                             ": skipped, not a DICOM part-10 file\n"
                             "velkdump: 1 file skipped, not DICOM part-10\n");
}

TEST_F(Formats, JsonNestsItemsAndPointsBulkDataAtTheValueBytes) {
    const std::string ob = "\x01\x02\x03\x04";
    const std::string path = file(
        "model.dcm", dicom_builder()
                         .preamble()
                         .explicit_element(0x0008, 0x0008, "CS", "ORIGINAL \\PRIMARY")
                         .sequence(0x0008, 0x1140)
                         .item()
                         .explicit_element(0x0008, 0x1150, "UI", std::string("1.2\0", 4))
                         .item_end()
                         .item(10)
                         .explicit_element(0x0028, 0x0010, "US", std::string("\x02\x00", 2))
                         .sequence_end()
                         .explicit_element(0x0010, 0x0010, "PN", "Doe^J=\xE9")
                         .explicit_element(0x0018, 0x0050, "DS", "2.5\\-1e3 ")
                         .explicit_element(0x0020, 0x9165, "AT", std::string("\x10\x00\x20\x00", 4))
                         .explicit_element(0x0028, 0x0030, "US", std::string("\x01\x00\xFF\xFF", 4))
                         .explicit_element(0x7FE0, 0x0010, "OB", ob)
                         .bytes());
    const auto r = run({"--format=json", path});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["00080008"]["Value"], nlohmann::json({"ORIGINAL ", "PRIMARY"}));
    const auto& items = doc["00081140"]["Value"];
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]["00081150"], nlohmann::json({{"vr", "UI"}, {"Value", {"1.2"}}}));
    EXPECT_EQ(items[1]["00280010"]["Value"], nlohmann::json({2}));
    EXPECT_EQ(doc["00100010"]["Value"][0],
              nlohmann::json({{"Alphabetic", "Doe^J"}, {"Ideographic", "\xC3\xA9"}}));
    EXPECT_EQ(doc["00180050"]["Value"], nlohmann::json({2.5, -1000.0}));
    EXPECT_EQ(doc["00209165"]["Value"], nlohmann::json({"00100020"}));
    EXPECT_EQ(doc["00280030"]["Value"], nlohmann::json({1, 65535}));
    // file:///...?offset=N&length=M names the value's own bytes.
    const std::string uri = doc["7FE00010"]["BulkDataURI"];
    const auto offset = std::stoul(uri.substr(uri.find("offset=") + 7));
    const auto length = std::stoul(uri.substr(uri.find("length=") + 7));
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes.substr(offset, length), ob);
    EXPECT_EQ(uri.compare(0, 8, "file:///"), 0);
}

// --interpret reaches every format: an implicit VR file, its dictionary VRs, a
// sequence of defined length descended into, Cyrillic text decoded.
TEST_F(Formats, InterpretReadsImplicitVrAndCharacterSetsInEveryFormat) {
    const std::string name = "\xB8\xD2\xD0\xDD";  // "Ivan" in ISO 8859-5
    const std::string path =
        file("implicit.dcm", dicom_builder()
                                 .preamble()
                                 .transfer_syntax(test::implicit_le_uid())
                                 .implicit_element(0x0008, 0x0005, "ISO_IR 144")
                                 .implicit_element(0x0028, 0x0010, std::string("\x00\x02", 2))
                                 .implicit_header(0x0040, 0x0275, 8 + 8 + 4)
                                 .item(8 + 4)
                                 .implicit_element(0x0010, 0x0010, name)
                                 .bytes());
    const auto text = run({"--interpret", path});
    EXPECT_NE(text.out.find("(0028,0010);(US);2;Rows;512;"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("  (0010,0010);  (PN);  4;  Patient's Name;  \xD0\x98\xD0\xB2\xD0\xB0"
                            "\xD0\xBD;"),
              std::string::npos)
        << text.out;
    const auto csv = run({"--format=csv", "--interpret", path});
    EXPECT_NE(csv.out.find("0,\"(0028,0010)\",(US),2,Rows,512,"), std::string::npos) << csv.out;
    const auto json = run({"--format=json", "--interpret", path});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto doc = nlohmann::json::parse(json.out);
    EXPECT_EQ(doc["00280010"], nlohmann::json({{"vr", "US"}, {"Value", {512}}}));
    EXPECT_EQ(doc["00400275"]["Value"][0]["00100010"]["Value"][0]["Alphabetic"],
              "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD");
    // The default reading stays what it was: no VR and no value.
    EXPECT_EQ(nlohmann::json::parse(run({"--format=json", path}).out)["00280010"]["vr"], "UN");
}

// "-" reads standard input: every format as for a file, offsets of the stream,
// json's data set without group 0002 (--meta puts it beside), binary inline.
TEST_F(Formats, StandardInputIsListedAsAFileAndJsonLeavesTheMetaGroupOut) {
    const std::string bytes = dicom_builder()
                                  .preamble()
                                  .transfer_syntax(test::explicit_le_uid())
                                  .explicit_element(0x0008, 0x0060, "CS", "MR")
                                  .explicit_element(0x7FE0, 0x0010, "OB", "\x01\x02")
                                  .bytes();
    const auto run_stdin = [&](const std::vector<std::string>& args) {
        std::FILE* in = std::tmpfile();
        std::fwrite(bytes.data(), 1, bytes.size(), in);
        std::rewind(in);
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        const int status = velkdump(args, out, err, in);
        std::fclose(in);
        return run_result{status, contents(out), contents(err)};
    };
    EXPECT_EQ(run_stdin({"-"}).out, run({file("same.dcm", bytes)}).out);
    const auto json = nlohmann::json::parse(run_stdin({"--format=json", "-"}).out);
    EXPECT_FALSE(json.contains("00020010"));
    EXPECT_EQ(json["00080060"]["Value"][0], "MR");
    EXPECT_EQ(json["7FE00010"]["InlineBinary"], "AQI=");
    const auto meta = nlohmann::json::parse(run_stdin({"--format=json", "--meta", "-"}).out);
    EXPECT_EQ(meta["meta"]["00020010"]["Value"][0], "1.2.840.10008.1.2.1");
    EXPECT_EQ(meta["dataset"], json);
}

// A stream longer than the cap keeps the cap's bytes and says it went on.
TEST(StreamRead, StopsAtTheCap) {
    std::FILE* in = std::tmpfile();
    std::fputs("0123456789", in);
    std::rewind(in);
    const stream_contents capped = read_stream(in, 4);
    EXPECT_EQ(std::string(capped.bytes.begin(), capped.bytes.end()), "0123");
    EXPECT_TRUE(capped.capped);
    std::rewind(in);
    EXPECT_FALSE(read_stream(in, 10).capped);
    std::fclose(in);
}

}  // namespace

}  // namespace velk
