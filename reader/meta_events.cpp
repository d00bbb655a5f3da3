#include "reader/meta_events.h"

#include <string>

#include "reader/byte_readers.h"

namespace scorlane {

namespace {

enum MetaType : uint8_t {
  kMetaText = 0x01,
  kMetaCopyright = 0x02,
  kMetaTrackName = 0x03,
  kMetaLyric = 0x05,
  kMetaMarker = 0x06,
  kMetaEndOfTrack = 0x2F,
  kMetaSetTempo = 0x51,
  kMetaTimeSignature = 0x58,
};

// Offsets from the 0xFF status byte.
constexpr int kLengthOffset = 2;
constexpr int kTempoByteCountOffset = 2;  // the tempo's length byte, read as a plain count
constexpr int kContentOffset = 3;         // first content byte when the length takes one byte

// Fastest tempo the cut-to-three-decimals arithmetic can express: 60000000 * 1000 / us
// fits a signed 32-bit integer only for us of 28 and above. Faster tempos, and 0,
// report this value instead of overflowing.
constexpr int32_t kMaxBpmThousandths = 2147483647;
constexpr uint32_t kFastestExpressibleTempo = 28;

void AppendText(const uint8_t* status, const uint8_t* end, uint32_t time,
                std::vector<TextEvent>& list) {
  TextEvent event{time, std::string()};
  if (ReadMetaText(status + kLengthOffset, end, &event.text)) list.push_back(std::move(event));
}

void ReadTempo(const uint8_t* status, const uint8_t* end, uint32_t time,
               std::vector<TempoChange>& tempoChanges) {
  if (end - status < kContentOffset) return;  // no count byte
  const int byteCount = status[kTempoByteCountOffset];
  uint32_t microseconds = 0;
  if (!ReadBigEndian(status + kContentOffset, end, byteCount, &microseconds)) return;
  tempoChanges.push_back(TempoChange{time, TempoToBpm(microseconds)});
}

void ReadTimeSignature(const uint8_t* status, const uint8_t* end, uint32_t time,
                       std::vector<MeterChange>& meterChanges) {
  if (end - status < kContentOffset + 2) return;  // cut off before both bytes
  const int32_t numerator = status[kContentOffset];
  const uint8_t power = status[kContentOffset + 1];
  // The denominator is stored as a power of two; the shift is taken modulo 32 so
  // that every byte gives a defined 32-bit value.
  const int32_t denominator = static_cast<int32_t>(uint32_t{1} << (power % 32));
  meterChanges.push_back(MeterChange{time, numerator, denominator});
}

}  // namespace

double TempoToBpm(uint32_t microseconds) {
  if (microseconds < kFastestExpressibleTempo) return kMaxBpmThousandths / 1000.0;
  const double thousandths = 60000000.0 / microseconds * 1000.0;
  return static_cast<int32_t>(thousandths) / 1000.0;
}

void HandleMetaEvent(const uint8_t* status, const uint8_t* end, uint8_t type, uint32_t time,
                     MetaTargets targets) {
  Track& track = targets.track;
  switch (type) {
    case kMetaText:
      AppendText(status, end, time, track.texts);
      break;
    case kMetaCopyright:
      ReadMetaText(status + kLengthOffset, end, &track.copyright);
      break;
    case kMetaTrackName:
      ReadMetaText(status + kLengthOffset, end, &track.name);
      break;
    case kMetaLyric:
      AppendText(status, end, time, track.lyrics);
      break;
    case kMetaMarker:
      AppendText(status, end, time, track.markers);
      break;
    case kMetaEndOfTrack:
      // Parsing goes on after it: later events in the chunk are still read.
      track.endTime = time;
      break;
    case kMetaSetTempo:
      ReadTempo(status, end, time, targets.tempoChanges);
      break;
    case kMetaTimeSignature:
      ReadTimeSignature(status, end, time, targets.meterChanges);
      break;
    default:
      break;
  }
}

}  // namespace scorlane
