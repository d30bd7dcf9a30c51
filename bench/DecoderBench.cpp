// Field decoders: DecodeFieldText for the column types of the benchmark table, on the row-image
// bytes a reader hands in (MyISAM form: integers little-endian, DECIMAL and DATETIME2 in the
// server's big-endian binary forms, VARCHAR with its one-byte length prefix). The label shows the
// decoded text, so a wrong decode is visible beside its speed.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "decoding/FieldText.h"
#include "definitions/Collations.h"
#include "definitions/DecoderSettings.h"
#include "definitions/TableModel.h"

namespace {

using namespace wexholt;

DecoderSettings Settings() {
  DecoderSettings settings;
  settings.collations = &BuiltInCollations();
  return settings;
}

void Run(benchmark::State& state, const ColumnDef& column, const std::vector<uint8_t>& bytes,
         FieldSource source) {
  DecoderSettings settings = Settings();
  Cell cell;
  for (auto _ : state) {
    DecodeFieldText(column, bytes.data(), bytes.size(), source, settings, cell);
    benchmark::DoNotOptimize(cell.text.data());
  }
  state.SetLabel(cell.text);
  state.SetItemsProcessed(state.iterations());
}

void BM_DecodeFieldText_Int(benchmark::State& state) {
  ColumnDef column;
  column.name = "k";
  column.typeCode = TypeCode::kLong;
  column.length = 11;
  column.nullable = 1;
  // -1234567 little-endian
  int32_t value = -1234567;
  std::vector<uint8_t> bytes(4);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
  Run(state, column, bytes, FieldSource::kFixedRow);
}

void BM_DecodeFieldText_Decimal(benchmark::State& state) {
  ColumnDef column;
  column.name = "price";
  column.typeCode = TypeCode::kNewDecimal;
  column.length = 12;
  column.precision = 10;
  column.decimals = 2;
  // 12345678.90: 8 integer digits in 4 bytes (sign bit set for a positive value), 2 fraction
  // digits in 1 byte.
  Run(state, column, {0x80, 0xBC, 0x61, 0x4E, 0x5A}, FieldSource::kFixedRow);
}

void BM_DecodeFieldText_DateTime2(benchmark::State& state) {
  ColumnDef column;
  column.name = "created";
  column.typeCode = TypeCode::kDateTime2;
  column.length = 19;
  // 2024-05-17 13:45:30: 40 bits big-endian, sign bit set, year*13+month, day, hour, minute, second.
  uint64_t yearMonth = 2024 * 13 + 5;
  uint64_t packed = (1ull << 39) | (yearMonth << 22) | (17ull << 17) | (13ull << 12) | (45ull << 6) | 30ull;
  std::vector<uint8_t> bytes(5);
  for (int i = 0; i < 5; ++i) bytes[i] = static_cast<uint8_t>(packed >> (8 * (4 - i)));
  Run(state, column, bytes, FieldSource::kFixedRow);
}

void BM_DecodeFieldText_VarcharUtf8(benchmark::State& state) {
  ColumnDef column;
  column.name = "name";
  column.typeCode = TypeCode::kVarchar;
  column.length = 160;     // VARCHAR(40) in utf8mb4: 4 bytes per character
  column.charsetId = 45;   // utf8mb4_general_ci
  std::string text = "name-1234567-Grüße-ab12";
  std::vector<uint8_t> bytes;
  bytes.push_back(static_cast<uint8_t>(text.size()));
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.resize(1 + column.length, 0);
  Run(state, column, bytes, FieldSource::kFixedRow);
}

BENCHMARK(BM_DecodeFieldText_Int);
BENCHMARK(BM_DecodeFieldText_Decimal);
BENCHMARK(BM_DecodeFieldText_DateTime2);
BENCHMARK(BM_DecodeFieldText_VarcharUtf8);

}  // namespace
