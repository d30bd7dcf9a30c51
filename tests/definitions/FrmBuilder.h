// FrmBuilder: writes small .frm images laid out as the server writes them (header, form-names
// block, key section, default-values record, extra segment with the engine name, form info, field
// section), so that a test can build exactly the damaged or unusual definition it needs.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace wexholt::testing {

struct FrmColumn {
  std::string name;
  int type = 3;
  int length = 11;
  uint16_t packFlags = 0x1B;
  int charset = 8;
  int interval = 0;
  int unireg = 0;
  std::string comment;
  int recordPos = 1;
};

struct FrmKeyPart {
  int column = 1;  // 1-based
  int length = 4;
};

struct FrmKey {
  uint16_t flags = 0;  // as stored: bit 0 clear = unique
  int algorithm = 0;
  std::vector<FrmKeyPart> parts;
  std::string comment;
};

class FrmBuilder {
 public:
  uint8_t version = 10;
  uint8_t engine = 12;
  uint16_t createOptions = 0;
  uint8_t byte32 = 0;
  int defaultCharset = 45;
  uint32_t serverVersion = 101119;
  std::string namesPart = "abc";  // the names part of the form-names block (skipped by readers)
  std::vector<FrmColumn> columns;
  std::vector<FrmKey> keys;
  std::vector<std::string> keyNames;                 // written as the key-name list
  std::vector<std::vector<std::string>> valueLists;  // ENUM/SET value lists
  int nullableOverride = -1;                         // -1: count the columns with flag 0x8000
  int columnCountOverride = -1;                      // -1: the number of columns
  std::string engineName = "InnoDB";
  std::string tableComment;
  int recordLength = 16;
  std::vector<uint8_t> defaultRecord;  // resized to recordLength
  std::vector<uint8_t> expressionBlock;  // written after the comments, its length at form info 286

  // One record of the expression block (the block's 16-byte header is added by Build).
  void AddExpression(int kind, int column, const std::string& name, const std::string& expr) {
    if (expressionBlock.empty()) expressionBlock.resize(16, 0);
    expressionBlock.push_back(static_cast<uint8_t>(kind));
    expressionBlock.push_back(column & 0xFF);
    expressionBlock.push_back((column >> 8) & 0xFF);
    expressionBlock.push_back(expr.size() & 0xFF);
    expressionBlock.push_back((expr.size() >> 8) & 0xFF);
    expressionBlock.push_back(static_cast<uint8_t>(name.size()));
    expressionBlock.insert(expressionBlock.end(), name.begin(), name.end());
    expressionBlock.insert(expressionBlock.end(), expr.begin(), expr.end());
  }

  static void AppendList(std::vector<uint8_t>& out, const std::vector<std::string>& names, uint8_t sep = 0xFF) {
    if (names.empty()) {
      out.push_back(0);
      return;
    }
    out.push_back(sep);
    for (const std::string& n : names) {
      out.insert(out.end(), n.begin(), n.end());
      out.push_back(sep);
    }
    out.push_back(0);
  }
  static void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
  }
  static void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
  }

  bool Wide() const { return version >= 9; }

  std::vector<uint8_t> KeySection() const {
    std::vector<uint8_t> k(6, 0);
    size_t partCount = 0;
    for (const auto& key : keys) partCount += key.parts.size();
    k[0] = static_cast<uint8_t>(keys.size());
    k[1] = static_cast<uint8_t>(partCount);
    for (const auto& key : keys) {
      if (Wide()) {
        std::vector<uint8_t> h(8, 0);
        Put16(h, 0, key.flags | (key.comment.empty() ? 0 : 0x1000));
        h[4] = static_cast<uint8_t>(key.parts.size());
        h[5] = static_cast<uint8_t>(key.algorithm);
        k.insert(k.end(), h.begin(), h.end());
      } else {
        std::vector<uint8_t> h(4, 0);
        h[0] = key.flags & 0xFF;
        h[3] = static_cast<uint8_t>(key.parts.size());
        k.insert(k.end(), h.begin(), h.end());
      }
      for (const auto& part : key.parts) {
        std::vector<uint8_t> p(version == 6 ? 7 : 9, 0);
        Put16(p, 0, static_cast<uint32_t>(part.column) | 0x8000);
        if (version == 6) {
          p[4] = static_cast<uint8_t>(part.length);
        } else {
          Put16(p, 7, static_cast<uint32_t>(part.length));
        }
        k.insert(k.end(), p.begin(), p.end());
      }
    }
    const size_t namesAt = k.size();
    AppendList(k, keyNames);
    for (const auto& key : keys) {
      if (key.comment.empty() || !Wide()) continue;
      std::vector<uint8_t> len(2, 0);
      Put16(len, 0, static_cast<uint32_t>(key.comment.size()));
      k.insert(k.end(), len.begin(), len.end());
      k.insert(k.end(), key.comment.begin(), key.comment.end());
    }
    Put16(k, 4, static_cast<uint32_t>(k.size() - namesAt));
    return k;
  }

  std::vector<uint8_t> Build() const {
    std::vector<uint8_t> f(64, 0);
    f[0] = 0xFE;
    f[1] = 0x01;
    f[2] = version;
    f[3] = engine;
    Put16(f, 4, static_cast<uint32_t>(namesPart.size()));
    Put16(f, 8, 1);
    Put16(f, 30, createOptions);
    f[32] = byte32;
    f[38] = defaultCharset & 0xFF;
    f[41] = (defaultCharset >> 8) & 0xFF;
    Put32(f, 51, serverVersion);
    f.insert(f.end(), namesPart.begin(), namesPart.end());
    const size_t formOffsetAt = f.size();
    f.resize(f.size() + 4, 0);

    const std::vector<uint8_t> keySection = KeySection();
    Put16(f, 6, static_cast<uint32_t>(f.size()));
    Put16(f, 28, static_cast<uint32_t>(keySection.size()));
    Put16(f, 14, static_cast<uint32_t>(keySection.size()));
    Put16(f, 16, static_cast<uint32_t>(recordLength));
    f.insert(f.end(), keySection.begin(), keySection.end());

    std::vector<uint8_t> record = defaultRecord;
    record.resize(static_cast<size_t>(recordLength), 0);
    f.insert(f.end(), record.begin(), record.end());
    std::vector<uint8_t> extra(2, 0);
    extra.push_back(engineName.size() & 0xFF);
    extra.push_back(0);
    extra.insert(extra.end(), engineName.begin(), engineName.end());
    extra.resize(extra.size() + 5, 0);
    const bool longComment = tableComment.size() > 180;
    if (longComment) {
      extra.push_back(tableComment.size() & 0xFF);
      extra.push_back((tableComment.size() >> 8) & 0xFF);
      extra.insert(extra.end(), tableComment.begin(), tableComment.end());
    }
    Put32(f, 55, static_cast<uint32_t>(extra.size()));
    f.insert(f.end(), extra.begin(), extra.end());

    const size_t form = f.size();
    Put32(f, formOffsetAt, static_cast<uint32_t>(form));
    std::vector<uint8_t> info(288, 0);
    if (longComment) {
      info[46] = 255;
    } else {
      info[46] = static_cast<uint8_t>(tableComment.size());
      for (size_t i = 0; i < tableComment.size(); ++i) info[47 + i] = static_cast<uint8_t>(tableComment[i]);
    }

    std::vector<uint8_t> names;
    std::vector<std::string> columnNames;
    for (const auto& c : columns) columnNames.push_back(c.name);
    AppendList(names, columnNames);
    std::vector<uint8_t> values;
    size_t valueCount = 0;
    for (const auto& list : valueLists) {
      AppendList(values, list);
      valueCount += list.size();
    }
    std::string comments;
    int nullable = 0;
    std::vector<uint8_t> records;
    for (const auto& c : columns) {
      if (c.packFlags & 0x8000) ++nullable;
      comments += c.comment;
      if (Wide()) {
        std::vector<uint8_t> r(17, 0);
        Put16(r, 3, static_cast<uint32_t>(c.length));
        r[5] = c.recordPos & 0xFF;
        r[6] = (c.recordPos >> 8) & 0xFF;
        Put16(r, 8, c.packFlags);
        r[10] = static_cast<uint8_t>(c.unireg);
        r[11] = (c.charset >> 8) & 0xFF;
        r[12] = static_cast<uint8_t>(c.interval);
        r[13] = static_cast<uint8_t>(c.type);
        r[14] = c.charset & 0xFF;
        Put16(r, 15, static_cast<uint32_t>(c.comment.size()));
        records.insert(records.end(), r.begin(), r.end());
      } else {
        std::vector<uint8_t> r(11, 0);
        r[3] = static_cast<uint8_t>(c.length);
        Put16(r, 4, static_cast<uint32_t>(c.recordPos));
        Put16(r, 6, c.packFlags);
        records.insert(records.end(), r.begin(), r.end());
      }
    }
    Put16(info, 258, static_cast<uint32_t>(columnCountOverride >= 0 ? columnCountOverride : static_cast<int>(columns.size())));
    Put16(info, 260, 0);
    Put16(info, 266, static_cast<uint32_t>(recordLength));
    Put16(info, 268, static_cast<uint32_t>(names.size()));
    Put16(info, 270, static_cast<uint32_t>(valueLists.size()));
    Put16(info, 272, static_cast<uint32_t>(valueCount));
    Put16(info, 274, static_cast<uint32_t>(values.size()));
    Put16(info, 282, static_cast<uint32_t>(nullableOverride >= 0 ? nullableOverride : nullable));
    Put16(info, 284, static_cast<uint32_t>(comments.size()));
    Put16(info, 286, static_cast<uint32_t>(expressionBlock.size()));
    f.insert(f.end(), info.begin(), info.end());
    f.insert(f.end(), records.begin(), records.end());
    f.insert(f.end(), names.begin(), names.end());
    f.insert(f.end(), values.begin(), values.end());
    f.insert(f.end(), comments.begin(), comments.end());
    f.insert(f.end(), expressionBlock.begin(), expressionBlock.end());
    return f;
  }
};

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace wexholt::testing
