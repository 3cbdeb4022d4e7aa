#include <kvor/zephrin6/swerve/impl/TimeInterpolatableBuffer.hpp>

#include <gtest/gtest.h>

#include "swerve/SwerveTestSupport.hpp"

using namespace swerve_test;
using swerve::Pose2d;
using swerve::impl::TimeInterpolatableBuffer;

namespace {
Pose2d At(double x) { return MakePose(x, 0, 0); }
}  // namespace

// A sample at an existing time replaces that entry, except against the very
// first entry, where it is inserted after it; older samples go in order.
TEST(TimeInterpolatableBuffer, EqualAndOutOfOrderTimes) {
  TimeInterpolatableBuffer buffer(second_t{1.5});
  buffer.AddSample(second_t{1.0}, At(1));
  buffer.AddSample(second_t{1.0}, At(2));
  ASSERT_EQ(buffer.Size(), 2u);
  EXPECT_EQ(buffer[0].pose.X().value(), 1.0);
  EXPECT_EQ(buffer[1].pose.X().value(), 2.0);

  buffer.AddSample(second_t{1.2}, At(3));
  buffer.AddSample(second_t{1.2}, At(4));  // the newest: replaced
  buffer.AddSample(second_t{1.1}, At(5));  // in between: inserted
  buffer.AddSample(second_t{1.0}, At(6));  // equal to the first's time, not the first entry: replaced
  buffer.AddSample(second_t{0.9}, At(7));  // before everything: inserted first
  const double times[] = {0.9, 1.0, 1.0, 1.1, 1.2};
  const double xs[] = {7, 1, 6, 5, 4};
  ASSERT_EQ(buffer.Size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(buffer[i].time.value(), times[i]);
    EXPECT_EQ(buffer[i].pose.X().value(), xs[i]);
  }
}

// Entries exactly the history size older than the newest sample stay; older
// ones go.
TEST(TimeInterpolatableBuffer, HistoryWindowIsStrict) {
  TimeInterpolatableBuffer buffer(second_t{1.5});
  buffer.AddSample(second_t{1.0}, At(1));
  buffer.AddSample(second_t{2.5}, At(2));
  EXPECT_EQ(buffer.Size(), 2u);
  buffer.AddSample(second_t{2.5000001}, At(3));
  ASSERT_EQ(buffer.Size(), 2u);
  EXPECT_EQ(buffer.Front().time.value(), 2.5);
  // An old sample is measured against itself, so it survives its own insertion.
  buffer.AddSample(second_t{0.5}, At(0));
  EXPECT_EQ(buffer.Front().time.value(), 0.5);
}

// Sampling clamps outside the recorded span, returns entries exactly at their
// time and interpolates between them.
TEST(TimeInterpolatableBuffer, SampleClampsAndInterpolates) {
  TimeInterpolatableBuffer buffer(second_t{1.5});
  EXPECT_FALSE(buffer.Sample(second_t{1.0}).has_value());
  buffer.AddSample(second_t{1.0}, MakePose(1, 1, 0.5));
  EXPECT_TRUE(PoseNear(*buffer.Sample(second_t{7.0}), MakePose(1, 1, 0.5), 0.0));
  buffer.AddSample(second_t{2.0}, MakePose(3, 1, 0.5));
  buffer.AddSample(second_t{2.5}, MakePose(4, 2, 0.7));

  struct Case {
    double t;
    Pose2d expected;
  };
  const Case cases[] = {{0.0, MakePose(1, 1, 0.5)}, {1.0, MakePose(1, 1, 0.5)}, {1.25, MakePose(1.5, 1, 0.5)},
                        {2.0, MakePose(3, 1, 0.5)}, {3.0, MakePose(4, 2, 0.7)}, {2.5, MakePose(4, 2, 0.7)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.t);
    EXPECT_TRUE(PoseNear(*buffer.Sample(second_t{c.t}), c.expected, 1e-12));
  }
  EXPECT_EQ(buffer.Sample(second_t{2.0})->X().value(), 3.0);
}

// A long stream wraps the ring storage many times; contents stay ordered and
// sampling finds the right neighbours, out-of-order inserts included.
TEST(TimeInterpolatableBuffer, LongStreamsWrapCorrectly) {
  TimeInterpolatableBuffer buffer(second_t{1.5});
  const double period = 1.0 / 250.0;
  for (int k = 0; k < 5000; ++k) {
    const double t = k * period;
    buffer.AddSample(second_t{t}, At(t));
    if (k % 97 == 0 && k > 0) buffer.AddSample(second_t{t - period / 2}, At(t - period / 2));
    ASSERT_LE(buffer.Back().time.value() - buffer.Front().time.value(), 1.5);
  }
  for (std::size_t i = 1; i < buffer.Size(); ++i) ASSERT_LT(buffer[i - 1].time.value(), buffer[i].time.value());
  for (int k = 0; k < 300; ++k) {
    const double t = 4999 * period - k * 0.00413;
    SCOPED_TRACE(t);
    EXPECT_NEAR(buffer.Sample(second_t{t})->X().value(), t, 1e-12);
  }
}
