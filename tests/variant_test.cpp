#include "runtime/variant.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "error_of.h"
#include "runtime/error.h"
#include "texts.h"

namespace rt {
namespace {

using std::int16_t;
using enum ErrorCode;

TEST(VariantArithmetic, SingleDividedByIntegerIsSingle) {
  const Variant half = Variant(9615.0f) / Variant(int16_t{2});
  EXPECT_EQ(half.type(), VarType::Single);
  EXPECT_EQ(half.single(), 4807.5f);
  const Variant third = Variant(4000.0f) / Variant(int16_t{3});
  EXPECT_EQ(third.type(), VarType::Single);
  EXPECT_EQ(third.single(), 4000.0f / 3.0f);  // 1333.3334, not the double 1333.333...
}

TEST(VariantArithmetic, IntegerDividedByIntegerIsDouble) {
  const Variant v = Variant(int16_t{7}) / Variant(int16_t{2});
  EXPECT_EQ(v.type(), VarType::Double);
  EXPECT_EQ(v.dbl(), 3.5);
}

TEST(VariantArithmetic, DivisionByZero) {
  EXPECT_EQ(error_of([] { return Variant(1.0f) / Variant(int16_t{0}); }), DivisionByZero);
  EXPECT_EQ(error_of([] { return Variant(int16_t{0}) / Variant(int16_t{0}); }), Overflow);
  EXPECT_EQ(error_of([] { return Mod(Variant(int16_t{5}), Variant(int16_t{0})); }), DivisionByZero);
}

TEST(VariantArithmetic, IntegerPlusIntegerStaysIntegerAndOverflows) {
  const Variant sum = Variant(int16_t{32766}) + Variant(int16_t{1});
  EXPECT_EQ(sum.type(), VarType::Integer);
  EXPECT_EQ(sum.integer(), 32767);
  EXPECT_EQ(error_of([] { return Variant(int16_t{32767}) + Variant(int16_t{1}); }), Overflow);
  EXPECT_EQ(error_of([] { return Variant(int16_t{-32768}) + Variant(int16_t{-1}); }), Overflow);
  EXPECT_EQ((Variant(int16_t{-32767}) + Variant(int16_t{-1})).integer(), -32768);
  EXPECT_EQ(error_of([] { return Variant(int16_t{200}) * Variant(int16_t{200}); }), Overflow);
}

TEST(VariantArithmetic, IntegerTimesSingleIsSingle) {
  const Variant q = Variant(4000.0f) / Variant(int16_t{3});
  const Variant edge = Variant(int16_t{2}) * q;
  EXPECT_EQ(edge.type(), VarType::Single);
  EXPECT_EQ(edge.single(), 2.0f * (4000.0f / 3.0f));
}

TEST(VariantArithmetic, SingleTimesDoubleIsDouble) {
  const Variant upper = Variant(4999.0f) * Variant(0.8);
  EXPECT_EQ(upper.type(), VarType::Double);
  EXPECT_EQ(upper.dbl(), 4999.0 * 0.8);
  EXPECT_EQ(Int(upper).dbl(), 3999.0);
  EXPECT_EQ(Int(Variant(4999.0f) * Variant(0.2)).dbl(), 999.0);
}

TEST(VariantArithmetic, SingleOverflowIsAnErrorNotInfinity) {
  const float big = std::numeric_limits<float>::max();
  EXPECT_EQ(error_of([&] { return Variant(big) + Variant(big); }), Overflow);
  EXPECT_EQ(error_of([&] { return Variant(big) * Variant(int16_t{2}); }), Overflow);
  const double huge = std::numeric_limits<double>::max();
  EXPECT_EQ(error_of([&] { return Variant(huge) * Variant(int16_t{2}); }), Overflow);
}

TEST(VariantArithmetic, SubtractionFollowsTheWiderType) {
  const Variant d = Variant(9615.0f) - Variant(4807.5f);
  EXPECT_EQ(d.type(), VarType::Single);
  EXPECT_EQ(d.single(), 4807.5f);
  EXPECT_EQ((Variant(1.0f) - Variant(int16_t{1})).type(), VarType::Single);
}

TEST(VariantArithmetic, NonNumericOperandsAreATypeMismatch) {
  EXPECT_EQ(error_of([] { return Variant("a") + Variant(int16_t{1}); }), TypeMismatch);
  EXPECT_EQ(error_of([] { return Int(Variant("1")); }), TypeMismatch);
}

TEST(VariantInt, RoundsTowardNegativeInfinityAndKeepsTheType) {
  EXPECT_EQ(Int(Variant(2.5f)).single(), 2.0f);
  EXPECT_EQ(Int(Variant(-2.5f)).single(), -3.0f);
  EXPECT_EQ(Int(Variant(-0.5)).type(), VarType::Double);
  EXPECT_EQ(Int(Variant(-0.5)).dbl(), -1.0);
  EXPECT_EQ(Int(Variant(-2.0f)).single(), -2.0f);
  EXPECT_EQ(Int(Variant(int16_t{-3})).integer(), -3);
  EXPECT_EQ(Int(Variant(4807.5f)).single(), 4807.0f);
  EXPECT_EQ(Int(Variant()).type(), VarType::Integer);
}

TEST(VariantMod, IntegerRemainderWithTheDividendsSign) {
  EXPECT_EQ(Mod(Variant(int16_t{7}), Variant(int16_t{5})).integer(), 2);
  EXPECT_EQ(Mod(Variant(int16_t{-7}), Variant(int16_t{5})).integer(), -2);
  EXPECT_EQ(Mod(Variant(int16_t{15}), Variant(int16_t{5})).integer(), 0);
  // Fractional operands are rounded half to even first.
  EXPECT_EQ(Mod(Variant(7.5f), Variant(int16_t{3})).integer(), 2);  // 8 mod 3
  EXPECT_EQ(Mod(Variant(6.5), Variant(int16_t{4})).integer(), 2);   // 6 mod 4
  EXPECT_EQ(error_of([] { return Mod(Variant(1e6), Variant(int16_t{3})); }), Overflow);
}

TEST(VariantConcat, JoinsTheTextOfBothOperands) {
  EXPECT_EQ(concat(Variant("a"), Variant("b")).string(), "ab");
  EXPECT_EQ(concat(Variant("w="), Variant(4807.5f)).string(), "w=4807.5");
  EXPECT_EQ(concat(Variant(int16_t{1}), Variant(true)).string(), "1True");
  EXPECT_EQ(concat(Variant(), Variant("x")).string(), "x");
}

TEST(VariantTwips, MoveArgumentsBecomeSingles) {
  EXPECT_EQ(to_twips(Variant(int16_t{1000})), 1000.0f);
  EXPECT_EQ(to_twips(Variant(4000.0)), 4000.0f);
  EXPECT_EQ(to_twips(Variant(1e38)), 1e38f);
  EXPECT_EQ(error_of([] { return to_twips(Variant(1e39)); }), Overflow);
  EXPECT_EQ(error_of([] { return to_twips(Variant(-1e39)); }), Overflow);
  EXPECT_EQ(error_of([] { return to_twips(Variant(std::nan(""))); }), InvalidProcedureCall);
  EXPECT_EQ(error_of([] { return to_twips(Variant(HUGE_VAL)); }), Overflow);
  EXPECT_EQ(error_of([] { return to_twips(Variant("100")); }), TypeMismatch);
}

TEST(VariantText, ShortestNumbersAndQuotedStrings) {
  EXPECT_EQ(format_number(4000.0f / 3.0f), "1333.3334");
  EXPECT_EQ(format_number(0.1f), "0.1");
  EXPECT_EQ(format_number(0.8), "0.8");
  EXPECT_EQ(format_number(4807.5f), "4807.5");
  EXPECT_EQ(describe(Variant(int16_t{0})), "0:Integer");
  EXPECT_EQ(describe(Variant(4807.5f)), "4807.5:Single");
  EXPECT_EQ(describe(Variant(4000.0)), "4000:Double");
  EXPECT_EQ(quote("a\r\n\"\\\x01"
                  "9"),
            "\"a\\r\\n\\\"\\\\\\0019\"");
}

// What a check set up before `compute` raises over its result.
template <class F>
std::optional<ErrorCode> checked(F compute) {
  return error_of([&] {
    FloatingPointCheck fp;
    volatile double r = compute();
    fp.check(r);
  });
}

TEST(FloatingPointCheck, RaisesTheArithmeticErrors) {
  volatile double zero = 0.0;
  volatile double big = std::numeric_limits<double>::max();
  volatile double nan = std::nan("");
  EXPECT_EQ(checked([&] { return 1.0 / zero; }), DivisionByZero);
  EXPECT_EQ(checked([&] { return big * 4.0; }), Overflow);
  EXPECT_EQ(checked([&] { return zero * HUGE_VAL; }), Overflow);  // invalid
  // A NaN that arrives as an operand raises no flag, but the result is caught.
  EXPECT_EQ(checked([&] { return nan * 0.8; }), Overflow);
  // An earlier fault does not leak into a later, clean computation.
  volatile double overflowed = big * 4.0;
  (void)overflowed;
  EXPECT_EQ(checked([] { return 5000.0 * 0.8; }), std::nullopt);
}

TEST(VariantValue, CopiesMovesAndAssignmentsKeepTypeAndValue) {
  // Longer than a short string kept inside std::string itself.
  const std::string text = texts::kTwoLines;
  const Variant s(text);
  Variant copy = s;
  EXPECT_EQ(copy.string(), text);
  EXPECT_EQ(s.string(), text);
  Variant moved = std::move(copy);
  EXPECT_EQ(moved.string(), text);

  Variant v(2.5f);
  v = s;
  EXPECT_EQ(v.type(), VarType::String);
  EXPECT_EQ(v.string(), text);
  v = Variant(int16_t{3});
  EXPECT_EQ(v.type(), VarType::Integer);
  EXPECT_EQ(v.integer(), 3);
  v = Variant("short");
  v = Variant("another");
  EXPECT_EQ(v.string(), "another");
  const Variant& same = v;
  v = same;
  EXPECT_EQ(v.string(), "another");
  v = Variant(4000.0);
  EXPECT_EQ(v.dbl(), 4000.0);
  Variant from_moved(std::move(v));
  EXPECT_EQ(from_moved.dbl(), 4000.0);
  EXPECT_EQ(Variant().type(), VarType::Empty);
}

TEST(VariantValue, EqualMeansTheSameTypeAndTheSameValue) {
  EXPECT_EQ(Variant(), Variant());
  EXPECT_EQ(Variant(4807.5f), Variant(4807.5f));
  EXPECT_EQ(Variant("a"), Variant(std::string("a")));
  EXPECT_NE(Variant(1.0f), Variant(1.0));
  EXPECT_NE(Variant(int16_t{1}), Variant(1.0f));
  EXPECT_NE(Variant(int16_t{0}), Variant());
  EXPECT_NE(Variant(true), Variant(false));
  EXPECT_NE(Variant("1"), Variant(int16_t{1}));
}

TEST(VariantValue, ConversionsToSingle) {
  EXPECT_EQ(Variant(int16_t{-32768}).to_single(), -32768.0f);
  EXPECT_EQ(Variant(4807.5).to_single(), 4807.5f);
  EXPECT_EQ(Variant(true).to_single(), -1.0f);
  EXPECT_EQ(Variant().to_single(), 0.0f);
  EXPECT_EQ(error_of([] { return Variant(1e39).to_single(); }), Overflow);
  EXPECT_TRUE(std::isinf(Variant(HUGE_VAL).to_single()));
  EXPECT_EQ(error_of([] { return Variant("1").to_single(); }), TypeMismatch);
}

}  // namespace
}  // namespace rt
