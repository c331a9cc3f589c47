#include "cardsim/CardWorkTools.h"

#include "cardsim/CardNumber.h"

#include <string>

namespace morvik {

namespace {

int IndexIn(std::string_view names, const std::string& key) {
    if (key.size() != 1) {
        return -1;
    }
    const auto pos = names.find(key[0]);
    return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

// ---- work coordinates ----

struct WorkReader {
    CCardWorkOffsets work;
    int current = -1;
    int system = -1;
    int seen = 0;

    std::string Accept(const CCardFileLine& line) {
        if (const int s = CardUnitSystemOf(line); s >= 0) {
            system = s;
            return {};
        }
        if (!line.hasValue) {
            return "not a setting";
        }
        if (line.key == "WORKCOOR") {
            const auto n = ParseCardInt(line.value);
            if (!n || *n < 1 || *n > kCardWorkCoords) {
                return "bad work coordinate number";
            }
            current = *n - 1;
            system = -1;
            ++seen;
            return {};
        }
        const int axis = IndexIn("XYZUVW", line.key);
        if (axis < 0) {
            return "unknown key";
        }
        if (current < 0 || system < 0) {
            return "value outside a work coordinate's unit block";
        }
        const auto value = CardFileNumber(line.value);
        if (!value) {
            return "bad number";
        }
        work.values[current][system][axis] = *value;
        return {};
    }
};

// ---- tool data ----

enum class TablePart { None, Geometry, Wear, Factors };

struct ToolReader {
    CCardToolData data;
    int tool = -1; // the tool block being read, or -1
    CCardOffsetTable* table = nullptr;
    TablePart part = TablePart::None;
    int system = -1;
    int tools = 0;
    int tables = 0;

    bool Header(const std::string& key) {
        if (key.size() < 2 || (key[0] != 'D' && key[0] != 'H')) {
            return false;
        }
        const std::string rest = key.substr(1);
        const TablePart parts[] = {TablePart::Geometry, TablePart::Wear, TablePart::Factors};
        const char* names[] = {"GEOMETRYOFFSETS", "WEAROFFSETS", "WEARFACTORS"};
        for (int i = 0; i < 3; ++i) {
            if (rest == names[i]) {
                table = key[0] == 'D' ? &data.d : &data.h;
                part = parts[i];
                tool = -1;
                system = -1;
                tables += part == TablePart::Geometry ? 1 : 0;
                return true;
            }
        }
        return false;
    }

    std::string ToolValue(const CCardFileLine& line) {
        CCardTool& t = data.tools[tool];
        if (line.key == "Q") {
            const auto q = ParseCardInt(line.value);
            t.orientation = q.value_or(0);
            return q ? std::string() : "bad integer";
        }
        const auto value = CardFileNumber(line.value);
        if (!value) {
            return "bad number";
        }
        if (line.key == "F") {
            t.wearFactor = *value;
            return {};
        }
        const int index = IndexIn("XYZRW", line.key);
        if (index < 0) {
            return "unknown key";
        }
        if (system < 0) {
            return "value outside a unit block";
        }
        t.lengths[system][index] = *value;
        return {};
    }

    std::string TableValue(const CCardFileLine& line) {
        const auto entry = ParseCardInt(line.key);
        const auto value = CardFileNumber(line.value);
        if (!entry || *entry < 0 || *entry >= kCardOffsetEntries) {
            return "bad entry number";
        }
        if (!value) {
            return "bad number";
        }
        if (part == TablePart::Factors) {
            table->factors[*entry] = *value;
            return {};
        }
        if (system < 0) {
            return "value outside a unit block";
        }
        auto& values = part == TablePart::Geometry ? table->geometry : table->wear;
        values[system][*entry] = *value;
        return {};
    }

    std::string Accept(const CCardFileLine& line) {
        if (const int s = CardUnitSystemOf(line); s >= 0) {
            system = s;
            return {};
        }
        if (!line.hasValue) {
            return Header(line.key) ? std::string() : "not a setting";
        }
        if (line.key == "TOOL") {
            const auto n = ParseCardInt(line.value);
            if (!n || *n < 1 || *n > kCardTools) {
                return "bad tool number";
            }
            tool = *n - 1;
            table = nullptr;
            system = -1;
            ++tools;
            return {};
        }
        if (tool >= 0) {
            return ToolValue(line);
        }
        if (table != nullptr) {
            return TableValue(line);
        }
        return "value outside a tool or table block";
    }
};

template <typename Reader>
std::string ReadAll(Reader& reader, std::string_view text, const char* what, int fileNumber,
                    CCardReadResult& failure) {
    for (const auto& line : SplitCardFile(text)) {
        if (const auto why = reader.Accept(line); !why.empty()) {
            failure = CardFileError(what, fileNumber, line, why);
            return why;
        }
    }
    return {};
}

} // namespace

CCardReadResult ReadCardWork(std::string_view text, int fileNumber, CCardWorkOffsets& work) {
    WorkReader reader;
    CCardReadResult failure;
    if (!ReadAll(reader, text, "WORK", fileNumber, failure).empty()) {
        return failure;
    }
    work = reader.work;
    return {true, "WORK " + std::to_string(fileNumber) + " read: " + std::to_string(reader.seen) +
                      " work coordinates"};
}

CCardReadResult ReadCardTools(std::string_view text, int fileNumber, CCardToolData& tools) {
    ToolReader reader;
    CCardReadResult failure;
    if (!ReadAll(reader, text, "TOOLS", fileNumber, failure).empty()) {
        return failure;
    }
    tools = reader.data;
    return {true, "TOOLS " + std::to_string(fileNumber) + " read: " + std::to_string(reader.tools) +
                      " tools, " + std::to_string(reader.tables) + " offset tables"};
}

} // namespace morvik
