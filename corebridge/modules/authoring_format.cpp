#include "corebridge/modules/authoring_format.h"

namespace {

struct FormatRow {
  int average;
  int minimum;
  int maximum;
  int width;
  int height;
};

// Bit rates in bits per second; a zero size is the standard's picture size.
FormatRow RowFor(int qualityType) {
  switch (qualityType) {
    case 1: case 4: return {8000000, 4000000, 8300000, 0, 0};
    case 2: case 5: return {3400000, 2000000, 6800000, 352, 0};
    case 3: return {1750000, 1500000, 3500000, 352, 240};
    case 6: return {1750000, 1500000, 3500000, 352, 288};
    case 7: case 8: return {1151600, 0, 0, 0, 0};
    case 9: return {2400000, 0, 0, 0, 0};
    case 10: return {24000000, 0, 0, 0, 0};
    case 11: case 14: return {5000000, 2500000, 8300000, 352, 0};
    case 12: case 15: return {4000000, 2000000, 8000000, 352, 0};
    case 13: case 16: return {3000000, 2000000, 6000000, 352, 0};
    default: return {};
  }
}

}  // namespace

AuthoringFormatRecord MakeAuthoringFormatRecord(int qualityType) {
  AuthoringFormatRecord record{};
  if (qualityType < 1 || qualityType > 16) return record;
  const FormatRow row = RowFor(qualityType);
  record.averageBitRate = row.average;
  record.minimumBitRate = row.minimum;
  record.maximumBitRate = row.maximum;
  record.width = row.width;
  record.height = row.height;
  record.audioKbps = 224;
  record.field124 = 5;
  return record;
}
