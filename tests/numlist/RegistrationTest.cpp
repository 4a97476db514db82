#include "numlist/Registration.h"

#include <gtest/gtest.h>

#include "numlist/FileNo.h"

namespace {

TEST(RegistrationTest, ProposesNumberAndPositionFromTheSelectedRow) {
    CFileNo list;
    list.m_aData = {{5, "A", ""}, {8, "B", ""}, {20, "C", ""}};
    struct {
        int nSelectedRow;
        int nNo;
        size_t nPosition;
    } const aCases[] = {
        {-1, 21, 3},  // nothing selected: after the last entry
        {3, 21, 3},   // the blank row
        {0, 1, 0},    // the first entry: number 1, in front
        {2, 9, 2},    // before row 2, numbered on from row 1
    };
    for (const auto& testCase : aCases) {
        RegistrationStart start = ProposeRegistration(list, testCase.nSelectedRow);
        EXPECT_EQ(start.nNo, testCase.nNo) << "row " << testCase.nSelectedRow;
        EXPECT_EQ(start.nPosition, testCase.nPosition) << "row " << testCase.nSelectedRow;
    }

    RegistrationStart start = ProposeRegistration(CFileNo(), -1);
    EXPECT_EQ(start.nNo, 1);
    EXPECT_EQ(start.nPosition, 0u);
    list.m_aData.back().nNo = 9999;
    EXPECT_EQ(ProposeRegistration(list, 3).nNo, 10000);
}

TEST(RegistrationTest, ListsAFileUnderItsNameWithoutTheAddedExtension) {
    EXPECT_EQ(ListNameOfFile("/home/op/nc/abc.def.NC", true), "abc.def");
    EXPECT_EQ(ListNameOfFile("/home/op/nc/abc.def.NC", false), "abc.def.NC");
    EXPECT_EQ(ListNameOfFile("/home/op/nc.d/PROG", true), "PROG");
    EXPECT_EQ(ListNameOfFile("/home/op/nc/プログラム.NC", true),
              "\x83\x76\x83\x8D\x83\x4F\x83\x89\x83\x80");
    EXPECT_EQ(ListNameOfFile("/home/op/a\nb.NC", true), std::nullopt);
    EXPECT_EQ(ListNameOfFile("/home/op/a\rb.NC", false), std::nullopt);
    EXPECT_EQ(ListNameOfFile("/home/op/\xF0\x9F\x98\x80.NC", true), std::nullopt);
}

TEST(RegistrationTest, NamesFilesFoldersAndTheFileDialog) {
    EXPECT_EQ(ProgramFileName(12), "0012.fno");
    EXPECT_EQ(ProgramFileName(9999), "9999.fno");
    EXPECT_EQ(FolderOfPath("/home/op/nc/a.NC"), "/home/op/nc/");

    FileDialogOptions withExtension = ProgramFileDialogOptions(true, "NC", "/home/op/nc/");
    EXPECT_EQ(withExtension.strFilter, "NC Files (*.NC)|*.NC|すべてのﾌｧｲﾙ (*.*)|*.*||");
    EXPECT_EQ(withExtension.strDefaultExtension, "NC");
    EXPECT_EQ(withExtension.strInitialFolder, "/home/op/nc/");

    FileDialogOptions allFiles = ProgramFileDialogOptions(false, "NC", "/tmp/");
    EXPECT_EQ(allFiles.strFilter, "すべてのﾌｧｲﾙ (*.*)|*.*||");
    EXPECT_EQ(allFiles.strDefaultExtension, "");
}

}  // namespace
