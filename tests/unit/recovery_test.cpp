#include "document/recovery.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace quillet {
namespace {

RecoverySnapshot Sample() {
  return RecoverySnapshot{u"C:\\文档\\notes.txt", kEncodingUtf8NoMark, kLineEndUnix,
                          u"第一行 first line\r\n第二行 \U0001F600 second\r\n"};
}

void ExpectSame(const RecoverySnapshot& a, const RecoverySnapshot& b) {
  EXPECT_EQ(a.path, b.path);
  EXPECT_EQ(a.encoding, b.encoding);
  EXPECT_EQ(a.lineEnd, b.lineEnd);
  EXPECT_EQ(a.text, b.text);
}

TEST(Recovery, SnapshotsComeBackAsTheyWereWritten) {
  for (const RecoverySnapshot& s : {Sample(), RecoverySnapshot{u"", kEncodingAnsi, kLineEndWin, u"untitled 未命名"},
                                    RecoverySnapshot{u"D:\\empty.txt", kEncodingUtf16Be, kLineEndMac, u""}}) {
    RecoverySnapshot back;
    ASSERT_EQ(DecodeSnapshot(EncodeSnapshot(s), back), SnapshotRead::kOk);
    ExpectSame(back, s);
  }
}

TEST(Recovery, TornOrAlteredSnapshotsAreRefusedAndLeaveTheRecordAlone) {
  const std::string bytes = EncodeSnapshot(Sample());
  const RecoverySnapshot untouched{u"keep", kEncodingUtf8, kLineEndWin, u"keep"};
  // A write cut short anywhere: never taken for a snapshot.
  for (std::size_t n = 0; n < bytes.size(); ++n) {
    RecoverySnapshot out = untouched;
    EXPECT_NE(DecodeSnapshot(bytes.substr(0, n), out), SnapshotRead::kOk) << n;
    ExpectSame(out, untouched);
  }
  // One changed byte anywhere, and one byte too many.
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::string changed = bytes;
    changed[i] = static_cast<char>(changed[i] ^ 0x20);
    RecoverySnapshot out;
    EXPECT_NE(DecodeSnapshot(changed, out), SnapshotRead::kOk) << i;
  }
  RecoverySnapshot out;
  EXPECT_EQ(DecodeSnapshot(bytes + "x", out), SnapshotRead::kDamaged);
}

TEST(Recovery, ForeignFilesAndImpossibleLengthsAreToldApart) {
  RecoverySnapshot out;
  EXPECT_EQ(DecodeSnapshot("", out), SnapshotRead::kNotASnapshot);
  EXPECT_EQ(DecodeSnapshot("just some text someone saved here\r\n", out), SnapshotRead::kNotASnapshot);
  std::string bytes = EncodeSnapshot(Sample());
  bytes[8] = 2;  // a later version
  EXPECT_EQ(DecodeSnapshot(bytes, out), SnapshotRead::kNotASnapshot);
  // Lengths that would overflow a sum or lie about the size.
  bytes = EncodeSnapshot(Sample());
  for (std::size_t i = 24; i < 32; ++i) bytes[i] = static_cast<char>(0xFF);  // the text's length
  EXPECT_EQ(DecodeSnapshot(bytes, out), SnapshotRead::kDamaged);
  // An encoding or line-end code out of range, even with a fitting checksum.
  RecoverySnapshot odd = Sample();
  odd.encoding = static_cast<TextEncoding>(7);
  EXPECT_EQ(DecodeSnapshot(EncodeSnapshot(odd), out), SnapshotRead::kDamaged);
}

TEST(Recovery, FileNamesAreOwnedByOneWindowOfOneProcess) {
  EXPECT_EQ(SnapshotFileName(4242, 7), u"quillet-4242-7.qrec");
  EXPECT_NE(SnapshotFileName(4242, 7), SnapshotFileName(4242, 8));
  EXPECT_TRUE(IsSnapshotFileName(SnapshotFileName(1, 0)));
  for (const char16_t* name :
       {u"quillet-4242-7.qrec.tmp", u"quillet--7.qrec", u"quillet-4242-.qrec", u"quillet-4242.qrec",
        u"quillet-1-2-3.qrec", u"quillet-a-2.qrec", u"notes.qrec", u"quillet-.qrec"})
    EXPECT_FALSE(IsSnapshotFileName(name)) << std::u16string(name).size();
}

TEST(Recovery, SnapshotsFollowTypingWithinTheirPeriod) {
  SnapshotSchedule schedule;
  EXPECT_FALSE(schedule.Due());  // nothing changed, nothing written

  // One change: written after the pause.
  schedule.Changed(1000);
  EXPECT_EQ(schedule.Due(), 1000 + SnapshotSchedule::kPauseMs);
  schedule.Written(3000);
  EXPECT_FALSE(schedule.IsDue(100000));

  // Typing every 100 ms for 30 s: writes at least a period apart, and no
  // change ever waits longer than a period for its write.
  std::uint64_t lastWrite = 3000, oldestWaiting = 0;
  bool waiting = false;
  int writes = 0;
  for (std::uint64_t t = 4000; t <= 34000; t += 100) {
    schedule.Changed(t);
    if (!waiting) oldestWaiting = t;
    waiting = true;
    if (schedule.IsDue(t)) {
      EXPECT_GE(t - lastWrite, SnapshotSchedule::kPeriodMs) << t;
      EXPECT_LE(t - oldestWaiting, SnapshotSchedule::kPeriodMs) << t;
      schedule.Written(t);
      lastWrite = t;
      waiting = false;
      ++writes;
    }
  }
  EXPECT_GE(writes, 5);
  // Typing stops: the last change is written within the pause.
  ASSERT_TRUE(schedule.Due());
  EXPECT_LE(*schedule.Due(), 34000 + SnapshotSchedule::kPeriodMs);

  // Saved or discarded: nothing waits.
  schedule.Forget();
  EXPECT_FALSE(schedule.Due());
}

}  // namespace
}  // namespace quillet
