#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/velkdump.h"
#include "dicom_builder.h"
#include "velk_version.h"

namespace velk {

namespace {

using test::dicom_builder;

// Reads back what was written to a temporary stream.
std::string contents(std::FILE* f) {
    std::fflush(f);
    std::rewind(f);
    std::string s;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) s.append(buf, n);
    return s;
}

struct run_result {
    int status;
    std::string out, err;
};

run_result run(const std::vector<std::string>& args) {
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    run_result r{velkdump(args, out, err), contents(out), contents(err)};
    std::fclose(out);
    std::fclose(err);
    return r;
}

class Velkdump : public testing::Test {
protected:
    std::string file(const std::string& name, const std::string& bytes) {
        const std::string path = testing::TempDir() + "velkdump_" + name;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_TRUE(f);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        m_paths.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const auto& p : m_paths) std::remove(p.c_str());
    }
    std::vector<std::string> m_paths;
};

TEST_F(Velkdump, RowsAreTheSixCellsIndentedByDepth) {
    dicom_builder b;
    b.preamble()
        .explicit_element(0x0008, 0x0060, "CS", "MR")
        .sequence(0x0008, 0x1140)
        .item()
        .explicit_element(0x0008, 0x1150, "UI", "1.2")
        .item_end()
        .sequence_end();
    const auto r = run({file("nested.dcm", b.bytes())});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "(0008,0060);CS;2;Modality;MR;132\n"
              "(0008,1140);SQ;-1;Referenced Image Sequence;;142\n"
              " (FFFE,E000); ; -1; Item; ; 154\n"
              "  (0008,1150);  UI;  3;  Referenced SOP Class UID;  1.2;  162\n"
              "  (FFFE,E00D);  ;  0;  Item Delimitation Item;  ;  173\n"
              " (FFFE,E0DD); ; 0; Sequence Delimitation Item; ; 181\n");
}

TEST_F(Velkdump, CellsAreCutAt259CharactersAndConvertedFromCodePage1252) {
    // 80H is the euro sign; 81H is undefined in the code page and stays U+0081.
    dicom_builder b;
    b.preamble()
        .explicit_element(0x0010, 0x0010, "PN", "Ren\xE9\x80\x81\x9D")
        .explicit_element(0x0010, 0x4000, "LT", std::string(300, '\xE9'));
    const auto r = run({file("text.dcm", b.bytes())});
    std::string e9;
    for (int i = 0; i < 259; ++i) e9 += "\xC3\xA9";
    EXPECT_EQ(r.out,
              "(0010,0010);PN;7;Patient's Name;Ren\xC3\xA9\xE2\x82\xAC\xC2\x81\xC2\x9D;132\n"
              "(0010,4000);LT;300;Patient Comments;" +
                  e9 + ";147\n");
}

TEST_F(Velkdump, SeveralFilesAreHeadedAndFailuresReportedWithoutStopping) {
    const std::string good =
        file("good.dcm",
             dicom_builder().preamble().explicit_element(0x0008, 0x0060, "CS", "MR").bytes());
    const std::string plain = file("plain.dcm", std::string(200, 'x'));
    const std::string empty = file("empty.dcm", "");
    const std::string missing = testing::TempDir() + "velkdump_missing.dcm";
    const auto r = run({missing, good, plain, empty, good});
    EXPECT_EQ(r.status, 1);
    const std::string rows = "(0008,0060);CS;2;Modality;MR;132\n";
    EXPECT_EQ(r.out, "==> " + missing + " <==\n\n==> " + good + " <==\n" + rows + "\n==> " + plain +
                         " <==\n\n==> " + empty + " <==\n\n==> " + good + " <==\n" + rows);
    EXPECT_EQ(r.err, "velkdump: " + missing +
                         ": no such file\n"
                         "velkdump: " +
                         plain +
                         ": not a DICOM part-10 file (no \"DICM\" at byte 128)\n"
                         "velkdump: " +
                         empty + ": empty file, not a DICOM part-10 file\n");
}

// A walk that stops early lists the rows before the damage and says where it
// stopped, in every format and with -j, after the rows; the file still counts as
// listed.
TEST_F(Velkdump, AWalkThatStopsEarlySaysWhereAfterTheRows) {
    std::string bytes =
        dicom_builder().preamble().explicit_element(0x0008, 0x0060, "CS", "MR").bytes();
    bytes += std::string("\x10\x00\x10\x00PN", 6);  // a header cut by the end of the file
    const std::string cut = file("cut.dcm", bytes);
    const std::string said = "velkdump: " + cut +
                             ": stopped at 142, (0010,0010): element header cut by the "
                             "end of the file\n";
    for (const char* format : {"--format=text", "--format=csv", "--format=json"}) {
        const auto r = run({format, cut});
        EXPECT_EQ(r.status, 0) << format;
        EXPECT_NE(r.out.find("MR"), std::string::npos) << format;
        EXPECT_EQ(r.err, said) << format;
    }
    const auto several = run({"-j", "2", cut, cut});
    EXPECT_EQ(several.status, 0);
    EXPECT_EQ(several.err, said + said);
}

TEST_F(Velkdump, AFileWithOnlyTheMarkerListsNothingAndSucceeds) {
    const auto r = run({file("marker.dcm", dicom_builder().preamble().bytes())});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
}

// --check: a line per finding (naming the file when there are several), a json
// object per file, a csv record per finding; exit 1 when a file has an error or
// cannot be read, 2 for a usage error.
TEST_F(Velkdump, CheckWritesFindingsInEachFormatAndFailsOnAnError) {
    const std::string odd = file("odd.dcm", dicom_builder()
                                                .preamble()
                                                .explicit_element(0x0008, 0x0060, "CS", "MR")
                                                .explicit_element(0x0009, 0x1010, "LO", "X ")
                                                .bytes());
    const std::string missing = testing::TempDir() + "velkdump_missing.dcm";
    const std::string line =
        "error private (0009,1010) at 142: Private element (0009,1010) has no private creator "
        "(0009,0010) in its data set or item (nor do the block's elements after it)\n";
    const auto text = run({"--check", odd});
    EXPECT_EQ(text.status, 1);
    EXPECT_NE(text.out.find("\n" + line), std::string::npos) << text.out;
    EXPECT_NE(run({"--check", odd, odd}).out.find(odd + ": " + line), std::string::npos);

    const auto json = run({"--check", "--format=json", odd, missing});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.err.find("no such file"), std::string::npos);
    const auto document = nlohmann::json::parse(json.out);
    EXPECT_EQ(document["path"], odd);
    const nlohmann::json expected = {{"severity", "error"},
                                     {"kind", "private"},
                                     {"tag", "00091010"},
                                     {"offset", 142},
                                     {"message", line.substr(34, line.size() - 35)}};
    const auto& findings = document["findings"];
    EXPECT_NE(std::find(findings.begin(), findings.end(), expected), findings.end()) << json.out;

    const auto csv = run({"--check", "--format=csv", odd});
    EXPECT_EQ(csv.out.rfind("severity,kind,tag,offset,message\r\n", 0), 0u);
    EXPECT_NE(csv.out.find("error,private,00091010,142,\"Private element (0009,1010)"),
              std::string::npos);
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'),
              std::count(text.out.begin(), text.out.end(), '\n') + 1);
    EXPECT_EQ(run({"--check", "--diff", odd, odd}).status, 2);
}

// --diff exits as diff does: 0 alike, 1 different, 2 when a file cannot be read.
TEST_F(Velkdump, DiffListsDifferencesAndExitsAsDiffDoes) {
    const auto with = [](const char* modality, bool comments) {
        dicom_builder b;
        b.preamble().explicit_element(0x0008, 0x0060, "CS", modality);
        if (comments) b.explicit_element(0x0010, 0x4000, "LT", "Caf\xE9");
        return b.bytes();
    };
    const std::string a = file("a.dcm", with("MR", false));
    const std::string b = file("b.dcm", with("CT", true));
    const auto differ = run({"--diff", a, b});
    EXPECT_EQ(differ.status, 1);
    EXPECT_EQ(differ.out,
              "changed;(0008,0060);CS;Modality;MR;CT;132;132\n"
              "only in second;(0010,4000);LT;Patient Comments;;Caf\xC3\xA9;;142\n");
    EXPECT_EQ(run({"--diff", a, a}).status, 0);

    // A value holding the separator or a quote is quoted, so that it never splits
    // a record; csv and json say the same in their own form.
    const std::string e = file("e.dcm", dicom_builder()
                                            .preamble()
                                            .explicit_element(0x0008, 0x0060, "CS", "MR")
                                            .explicit_element(0x0010, 0x4000, "LT", "a;\"b\"")
                                            .bytes());
    EXPECT_EQ(run({"--diff", a, e}).out,
              "only in second;(0010,4000);LT;Patient Comments;;\"a;\"\"b\"\"\";;142\n");
    EXPECT_EQ(run({"--diff", "--format=csv", a, b}).out,
              "difference,path,VR,name,first value,second value,first offset,second offset\r\n"
              "changed,\"(0008,0060)\",CS,Modality,MR,CT,132,132\r\n"
              "only in second,\"(0010,4000)\",LT,Patient Comments,,Caf\xC3\xA9,,142\r\n");
    EXPECT_EQ(
        run({"--diff", "--format=json", a, b}).out,
        "{\"difference\":\"changed\",\"path\":\"(0008,0060)\",\"VR\":\"CS\",\"name\":\"Modality\","
        "\"first value\":\"MR\",\"second value\":\"CT\",\"first offset\":\"132\","
        "\"second offset\":\"132\"}\n"
        "{\"difference\":\"only in second\",\"path\":\"(0010,4000)\",\"VR\":\"LT\","
        "\"name\":\"Patient Comments\",\"first value\":\"\",\"second value\":\"Caf\xC3\xA9\","
        "\"first offset\":\"\",\"second offset\":\"142\"}\n");
    const auto missing = run({"--diff", a, testing::TempDir() + "velkdump_missing.dcm"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("no such file"), std::string::npos);
    EXPECT_EQ(run({"--diff", a}).status, 2);

    // With --interpret both files are read in the Interpret reading: the VR of an
    // implicit VR element from the dictionary, text decoded as its character set says.
    const auto implicit = [](bool comments) {
        dicom_builder b;
        b.preamble()
            .transfer_syntax(test::implicit_le_uid())
            .implicit_element(0x0008, 0x0005, "ISO_IR 192");
        if (comments) b.implicit_element(0x0010, 0x4000, "\xCE\xB1\xCE\xB2");
        return b.bytes();
    };
    const std::string c = file("c.dcm", implicit(true));
    const std::string d = file("d.dcm", implicit(false));
    EXPECT_EQ(run({"--diff", c, d}).out, "only in first;(0010,4000);;Patient Comments;;;176;\n");
    EXPECT_EQ(run({"--diff", "--interpret", c, d}).out,
              "only in first;(0010,4000);(LT);Patient Comments;\xCE\xB1\xCE\xB2;;176;\n");
}

struct option_case {
    std::vector<std::string> args;
    int status;
    const char* out_start;
    const char* err_start;
};

class VelkdumpOptions : public testing::TestWithParam<option_case> {};

TEST_P(VelkdumpOptions, AnswerAsUsersExpect) {
    const auto r = run(GetParam().args);
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_EQ(r.out.rfind(GetParam().out_start, 0), 0u) << r.out;
    EXPECT_EQ(r.err.rfind(GetParam().err_start, 0), 0u) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Args, VelkdumpOptions,
    testing::Values(
        option_case{{"--version"}, 0, "velkdump " VELK_VERSION_TEXT "\n", ""},
        option_case{{"--help"}, 0, "Usage: velkdump [OPTION]... FILE...\n", ""},
        option_case{{}, 2, "", "velkdump: no file given\n"},
        option_case{{"-x"}, 2, "", "velkdump: unknown option '-x'\n"},
        option_case{{"--", "--version"}, 1, "", "velkdump: --version: no such file\n"}));

}  // namespace

}  // namespace velk
