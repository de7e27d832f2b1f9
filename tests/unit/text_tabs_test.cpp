// Code tabs: splitting, merging and the line mapping.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "script/tabs.h"
#include "machine/cart.h"
#include "machine/machine.h"
#include "cart/cart_record.h"

namespace {

class TextTabs : public ::testing::Test {
 protected:
  void SetUp() override {
    split_code_to_tabs("");
    reset_code_tab_selection();
  }
};

TEST_F(TextTabs, SplitsAtSeparators) {
  split_code_to_tabs("a\n-->8\nb");
  EXPECT_EQ(code_tabs.text[0], "a");
  EXPECT_EQ(code_tabs.text[1], "b");
  for (int i = 2; i < 8; ++i) EXPECT_TRUE(code_tabs.text[i].empty());
}

TEST_F(TextTabs, WithoutSeparatorEverythingIsTabZero) {
  split_code_to_tabs("x=1\n-->9\ny=2\n-->8");   // no full separator
  EXPECT_EQ(code_tabs.text[0], "x=1\n-->9\ny=2\n-->8");
  EXPECT_TRUE(code_tabs.text[1].empty());
}

TEST_F(TextTabs, SplitClearsOldTabs) {
  split_code_to_tabs("a\n-->8\nb\n-->8\nc");
  split_code_to_tabs("z");
  EXPECT_EQ(code_tabs.text[0], "z");
  EXPECT_TRUE(code_tabs.text[1].empty());
  EXPECT_TRUE(code_tabs.text[2].empty());
}

TEST_F(TextTabs, EightSeparatorsLoseTheNinthTab) {
  std::string code = "t0";
  for (int i = 1; i <= 8; ++i) code += "\n-->8\nt" + std::to_string(i);
  split_code_to_tabs(code.c_str());
  for (int i = 0; i < 8; ++i) EXPECT_EQ(code_tabs.text[i], "t" + std::to_string(i));
  EXPECT_EQ(merged_code_text().find("t8"), std::string::npos);
  // Seven separators keep all eight tabs and merge back unchanged.
  std::string seven = "t0";
  for (int i = 1; i <= 7; ++i) seven += "\n-->8\nt" + std::to_string(i);
  split_code_to_tabs(seven.c_str());
  EXPECT_EQ(merged_code_text(), seven);
}

TEST_F(TextTabs, MergeDropsTrailingEmptyTabsUnlessSelected) {
  split_code_to_tabs("a\n-->8\nb");
  code_tabs.text[1].clear();
  code_tabs.selected = 0;
  EXPECT_EQ(merged_code_text(), "a");
  code_tabs.selected = 2;
  EXPECT_EQ(merged_code_text(), "a\n-->8\n\n-->8\n");
  code_tabs.selected = 0;
  code_tabs.text[3] = "d";
  EXPECT_EQ(merged_code_text(), "a\n-->8\n\n-->8\n\n-->8\nd");
  // Empty code with nothing selected beyond tab 0 is empty.
  split_code_to_tabs("");
  EXPECT_EQ(merged_code_text(), "");
}

TEST_F(TextTabs, MergeIntoCartAndCap) {
  zurkel_cart* cart = brim_create_zurkel_cart();
  ASSERT_NE(cart, nullptr);
  ASSERT_NE(cart->code, nullptr);
  std::strcpy(cart->code, "x=1\n-->8\ny=2");
  split_code_to_tabs(cart);
  code_tabs.text[1] = "y=3";
  EXPECT_EQ(merge_code_from_tabs(cart), 12u);
  EXPECT_STREQ(cart->code, "x=1\n-->8\ny=3");
  // A merge that does not fit is cut to the buffer and reports its length.
  char small[8];
  EXPECT_EQ(merge_code_from_tabs(small, sizeof small), 12u);
  EXPECT_STREQ(small, "x=1\n-->");
  brim_destroy_zurkel_cart(cart);
}

TEST_F(TextTabs, MergeNeverTakesAnotherCartsTabs) {
  zurkel_cart* a = brim_create_zurkel_cart();
  zurkel_cart* b = brim_create_zurkel_cart();
  std::strcpy(a->code, "a=1\n-->8\na=2");
  std::strcpy(b->code, "b=1");
  split_code_to_tabs(a);
  // b was never split: merging into it keeps its own code.
  EXPECT_EQ(merge_code_from_tabs(b), 3u);
  EXPECT_STREQ(b->code, "b=1");
  EXPECT_EQ(code_tabs.text[0], "b=1");
  brim_destroy_zurkel_cart(a);
  brim_destroy_zurkel_cart(b);
}

TEST_F(TextTabs, LoadedCartForms) {
  zurkel_machine machine;
  split_code_to_tabs(&machine);   // no loaded cart: nothing happens
  EXPECT_EQ(merge_code_from_tabs(&machine), 0u);
  machine.loaded.cart = brim_create_zurkel_cart();
  std::strcpy(machine.loaded.cart->code, "p\n-->8\nq\n-->8\n");
  split_code_to_tabs(&machine);
  EXPECT_EQ(code_tabs.text[1], "q");
  EXPECT_EQ(merge_code_from_tabs(&machine), 8u);   // the empty last tab goes
  EXPECT_STREQ(machine.loaded.cart->code, "p\n-->8\nq");
  brim_destroy_zurkel_cart(machine.loaded.cart);
}

TEST_F(TextTabs, FindTabLine) {
  // tab 0: two lines (1 break), tab 1: one line, tab 2: three lines.
  split_code_to_tabs("a\nb\n-->8\nc\n-->8\nd\ne\nf");
  int tab = -5;
  EXPECT_EQ(find_tab_line(0, &tab), 0);
  EXPECT_EQ(tab, 0);
  EXPECT_EQ(find_tab_line(1, &tab), 1);
  EXPECT_EQ(tab, 0);
  EXPECT_EQ(find_tab_line(2, &tab), 2);   // the separator line still belongs to tab 0
  EXPECT_EQ(tab, 0);
  EXPECT_EQ(find_tab_line(3, &tab), 0);   // "c": first line of tab 1
  EXPECT_EQ(tab, 1);
  EXPECT_EQ(find_tab_line(5, &tab), 0);   // "d"
  EXPECT_EQ(tab, 2);
  EXPECT_EQ(find_tab_line(7, &tab), 2);   // "f"
  EXPECT_EQ(tab, 2);
  // Empty tabs 3..7 take two lines each; past tab 7 gives -1 in tab 0.
  EXPECT_EQ(find_tab_line(9, &tab), 0);
  EXPECT_EQ(tab, 3);
  EXPECT_EQ(find_tab_line(9 + 2 * 5 - 1, &tab), 1);
  EXPECT_EQ(tab, 7);
  EXPECT_EQ(find_tab_line(9 + 2 * 5, &tab), -1);
  EXPECT_EQ(tab, 0);
  EXPECT_EQ(find_tab_line(3, nullptr), 0);
}

TEST_F(TextTabs, FirstLineOfTabOneIsLineOneTabOne) {
  // The runner reports 1-based tab lines: program line after the separator.
  split_code_to_tabs("x=1\ny=2\n-->8\nbad(");
  int tab = -1;
  EXPECT_EQ(find_tab_line(3, &tab) + 1, 1);
  EXPECT_EQ(tab, 1);
}

TEST_F(TextTabs, LineBreaksCountOnlyInTheFirstTenThousandCharacters) {
  std::string big(10000, 'x');
  big += "\n\n\n";   // beyond the window: not counted
  code_tabs.text[0] = "\n" + big;   // one break inside the window
  int tab = -1;
  EXPECT_EQ(find_tab_line(2, &tab), 2);
  EXPECT_EQ(tab, 0);
  EXPECT_EQ(find_tab_line(3, &tab), 0);
  EXPECT_EQ(tab, 1);
}

}  // namespace
