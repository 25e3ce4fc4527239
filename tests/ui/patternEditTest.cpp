#include "ui/patternEdit.h"
#include "printers.h"

#include <QTest>
#include <gtest/gtest.h>

using esc::PatternEdit;

namespace {

// Types into the box from its first position, as a user who clicked at the start.
void typeFromStart(PatternEdit& e, const QString& keys) {
  e.setCursorPosition(0);
  QTest::keyClicks(&e, keys);
}

} // namespace

TEST(PatternEdit, DigitPatternReadsFullWidthWithEmptyPositionsAsSpaces) {
  PatternEdit e("##############");
  EXPECT_EQ(e.patternText(), QString(14, ' ')); // an empty box reads as spaces only
  typeFromStart(e, "999");
  EXPECT_EQ(e.patternText(), "999" + QString(11, ' '));
  EXPECT_EQ(e.patternText().size(), 14);

  // Letters do not enter digit positions; a sign does enter a "#" position.
  PatternEdit h("9999");
  typeFromStart(h, "1a2");
  EXPECT_EQ(h.patternText(), "12  ");
  PatternEdit n("#");
  typeFromStart(n, "-");
  EXPECT_EQ(n.patternText(), "-");
}

TEST(PatternEdit, LiteralsNotStoredDropTrailingEmptyPositions) {
  PatternEdit e(">A;0;_");
  EXPECT_EQ(e.patternText(), "");
  EXPECT_EQ(e.displayText(), "_"); // "_" marks the empty position
  typeFromStart(e, "d");
  EXPECT_EQ(e.patternText(), "D");
  e.setPatternText("");
  EXPECT_EQ(e.patternText(), "");

  // Literals of such a pattern are shown but left out of the text, and put back on display.
  PatternEdit d("99/99;0;_");
  typeFromStart(d, "1234");
  EXPECT_EQ(d.displayText(), "12/34");
  EXPECT_EQ(d.patternText(), "1234");
  d.setPatternText("56");
  EXPECT_EQ(d.displayText(), "56/__");
  EXPECT_EQ(d.patternText(), "56");
}

TEST(PatternEdit, DatePatternKeepsLiteralsAndPositions) {
  PatternEdit e("99/99/99");
  EXPECT_EQ(e.patternText(), "  /  /  ");
  typeFromStart(e, "050304");
  EXPECT_EQ(e.patternText(), "05/03/04");
  // A typed separator jumps to its place, leaving the skipped position empty.
  PatternEdit s("99/99/99");
  typeFromStart(s, "5/3/04");
  EXPECT_EQ(s.patternText(), "5 /3 /04");
}

TEST(PatternEdit, StoredLiteralsAreTypedOverAndRoundTrip) {
  PatternEdit e("99.999.999/9999-99");
  typeFromStart(e, "12345678000190");
  EXPECT_EQ(e.patternText(), "12.345.678/0001-90");
  e.setPatternText("98.765.432/0001-10");
  EXPECT_EQ(e.patternText(), "98.765.432/0001-10");
  e.setPatternText("");
  EXPECT_EQ(e.patternText(), "  .   .   /    -  ");
  // A value written without the literals still lands in the digit positions.
  e.setPatternText("12345678000190");
  EXPECT_EQ(e.patternText(), "12.345.678/0001-90");
}

TEST(PatternEdit, ValuesKeepTheirPositions) {
  // A space inside a stored value stays an empty position instead of shifting what follows.
  PatternEdit e("9999");
  e.setPatternText("12 4");
  EXPECT_EQ(e.patternText(), "12 4");
  e.setPattern("##############");
  e.setPatternText("0001");
  EXPECT_EQ(e.patternText(), "0001" + QString(10, ' '));
}

TEST(PatternEdit, FreeTextPatternAcceptsSpacesAndUpperCases) {
  PatternEdit e(">C" + QString(39, 'c'));
  typeFromStart(e, "pago em dinheiro");
  EXPECT_EQ(e.patternText(), "PAGO EM DINHEIRO" + QString(24, ' '));
}

TEST(PatternEdit, PlainBoxHonoursMaxLengthAndUpperCase) {
  PatternEdit e;
  EXPECT_FALSE(e.hasPattern());
  e.setMaxLength(5);
  e.setUpperCase(true);
  QTest::keyClicks(&e, "abcdefg");
  EXPECT_EQ(e.patternText(), "ABCDE");

  // The upper-case option also applies to a patterned box.
  PatternEdit p("cccc");
  p.setUpperCase(true);
  typeFromStart(p, "ab");
  EXPECT_EQ(p.patternText(), "AB  ");
}

TEST(PatternEdit, TranslatesToQtMask) {
  EXPECT_EQ(PatternEdit::qtMask("99/99/99"), QString("00/00/00;") + QChar(0xA0));
  EXPECT_EQ(PatternEdit::qtMask(">A;0;_"), ">N;_");
  EXPECT_EQ(PatternEdit::qtMask("#C-c"), QString("#X-x;") + QChar(0xA0));
  EXPECT_EQ(PatternEdit::qtMask(""), "");
}
