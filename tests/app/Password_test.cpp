#include "app/Password.h"

#include <gtest/gtest.h>

#include "tests/common/TestEnv.h"

namespace hv {
namespace {

TEST(PasswordDlg, FirstCodeSecondCodeAndWrongEntries) {
  test::Scripted p;
  TPasswordDlg d(p);
  d.Init("Secret", "48213");
  struct Row {
    const char* entry;
    ModalResult want;
  } rows[] = {
      {"Secret", ModalResult::OK},
      {"48213", ModalResult::Yes},  // the second code
      {"secret", ModalResult::No},  // case matters
      {"", ModalResult::No},
  };
  for (const Row& r : rows) {
    d.Init("Secret", "48213");
    d.Password = r.entry;
    EXPECT_EQ(d.OKBtnClick(), r.want) << "entry \"" << r.entry << "\"";
    EXPECT_EQ(d.Tries, 1);
  }
  EXPECT_EQ(p.transcript().size(), 0u);  // a wrong entry before the third says nothing
}

TEST(PasswordDlg, CodesAreCutTo16AndAnEmptyPasswordMatchesAnEmptyEntry) {
  test::Scripted p;
  TPasswordDlg d(p);
  d.Init("ABCDEFGHIJKLMNOPQRS", "");
  EXPECT_EQ(d.FirstCode, "ABCDEFGHIJKLMNOP");
  d.Password = "ABCDEFGHIJKLMNOP";
  EXPECT_EQ(d.OKBtnClick(), ModalResult::OK);
  d.Init("", "7");
  d.Password.clear();
  EXPECT_EQ(d.OKBtnClick(), ModalResult::OK);
}

TEST(PasswordDlg, ThirdWrongEntryIsRefusedWithAMessage) {
  test::Scripted p;
  TPasswordDlg d(p);
  d.Init("Secret", "48213");
  d.Password = "x";
  EXPECT_EQ(d.OKBtnClick(), ModalResult::No);
  EXPECT_EQ(d.OKBtnClick(), ModalResult::No);
  p.expectMessage(ModalResult::OK, "Options Access Denied!", "Too Many Invalid Passwords!");
  EXPECT_EQ(d.OKBtnClick(), ModalResult::Cancel);
  ASSERT_EQ(p.messages().size(), 1u);
  EXPECT_EQ(p.messages()[0].icon, MsgIcon::Error);
}

// The test's answer types the entry and presses OK, as the form does.
ScriptedPlatform::DialogAnswer Type(std::string entry) {
  return [entry](DialogModel& m) {
    auto& d = static_cast<TPasswordDlg&>(m);
    EXPECT_EQ(d.Password, "");  // emptied before each showing
    d.Password = entry;
    return d.OKBtnClick();
  };
}

TEST(PasswordDlg, TheLoginLoopKeepsTheTryCountAcrossShowings) {
  test::Scripted p;
  p.expectDialog("TPasswordDlg", Type("one"));
  p.expectDialog("TPasswordDlg", Type("two"));
  p.expectDialog("TPasswordDlg", Type("Secret"));
  EXPECT_EQ(AskInstructorPassword(p, "Secret", "48213"), ModalResult::OK);

  p.expectDialog("TPasswordDlg", Type("one"));
  p.expectDialog("TPasswordDlg", Type("two"));
  p.expectDialog("TPasswordDlg", Type("three"));
  p.expectMessage(ModalResult::OK, "Options Access Denied!");
  EXPECT_EQ(AskInstructorPassword(p, "Secret", "48213"), ModalResult::Cancel);

  p.expectDialog("TPasswordDlg", [](DialogModel&) { return ModalResult::Cancel; });
  EXPECT_EQ(AskInstructorPassword(p, "Secret", "48213"), ModalResult::Cancel);
}

TEST(PasswordDlg1, ConfirmedOnlyByTheExactNewText) {
  struct Row {
    const char* entry;
    bool confirmed;
  } rows[] = {{"NewOne", true}, {"newone", false}, {"NewOn", false}, {"", false}};
  std::string text = "NewOne";
  for (const Row& r : rows) {
    TPasswordDlg1 d;
    NewPasswordText = &text;
    d.Password = r.entry;
    d.OKBtnClick();
    EXPECT_EQ(d.Confirmed, r.confirmed) << r.entry;
  }
  NewPasswordText = nullptr;
  TPasswordDlg1 none;
  none.Password = "";
  none.OKBtnClick();
  EXPECT_FALSE(none.Confirmed);
}

}  // namespace
}  // namespace hv
