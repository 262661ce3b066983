/// IniKeys: tables that tie the keys of an INI section to the fields of a record.
#pragma once

#include "style/IniFile.h"

#include <cassert>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace zenkel {

/// How the reader treats a key.
enum class ReadRule
{
    UseDefault, ///< a missing key gives the table's default
    KeepCurrentWhenMissing, ///< a missing key leaves the field as it is
    WriteOnly ///< written, never read: the field is not taken from the file
};

/// One key of an INI section: the name it is written and read under, the field it fills,
/// the default of a missing or unparsable value (the same kind as the field), and for
/// texts the capacity a longer value is cut to (0 = no limit).
template <typename Record> struct IniKey
{
    using Member = std::variant<std::string Record::*, int Record::*, bool Record::*>;
    using Value = std::variant<std::string_view, int, bool>;

    std::string_view name;
    std::string_view readName;
    Member member;
    Value defaultValue;
    std::size_t capacity = 0;
    ReadRule rule = ReadRule::UseDefault;
};

namespace detail {
template <class... Fs> struct Overloaded : Fs...
{
    using Fs::operator()...;
};
template <class... Fs> Overloaded(Fs...) -> Overloaded<Fs...>;
} // namespace detail

/// Reads one key into its field, following the key's rule, default and capacity.
template <typename Record>
void readIniKey(
    const IniFile& ini, std::string_view section, const IniKey<Record>& key, Record& record)
{
    if (key.rule == ReadRule::WriteOnly)
        return;
    const bool keep = key.rule == ReadRule::KeepCurrentWhenMissing;
    std::visit(detail::Overloaded {
                   [&](std::string Record::*field) {
                       assert(std::holds_alternative<std::string_view>(key.defaultValue));
                       std::string fallback = keep
                           ? record.*field
                           : std::string(std::get<std::string_view>(key.defaultValue));
                       std::string value = ini.readString(section, key.readName, fallback);
                       if (key.capacity != 0 && value.size() > key.capacity)
                           value.resize(key.capacity);
                       record.*field = std::move(value);
                   },
                   [&](int Record::*field) {
                       assert(std::holds_alternative<int>(key.defaultValue));
                       const int fallback = keep ? record.*field : std::get<int>(key.defaultValue);
                       record.*field = ini.readInteger(section, key.readName, fallback);
                   },
                   [&](bool Record::*field) {
                       assert(std::holds_alternative<bool>(key.defaultValue));
                       const bool fallback
                           = keep ? record.*field : std::get<bool>(key.defaultValue);
                       record.*field = ini.readBool(section, key.readName, fallback);
                   },
               },
        key.member);
}

/// Writes one field under the key's name: texts as they are, integers in decimal,
/// booleans as "1" or "0".
template <typename Record>
void writeIniKey(
    IniFile& ini, std::string_view section, const IniKey<Record>& key, const Record& record)
{
    std::visit(
        detail::Overloaded {
            [&](std::string Record::*field) { ini.writeString(section, key.name, record.*field); },
            [&](int Record::*field) { ini.writeInteger(section, key.name, record.*field); },
            [&](bool Record::*field) { ini.writeBool(section, key.name, record.*field); },
        },
        key.member);
}

template <typename Record>
void readIniKeys(const IniFile& ini, std::string_view section, std::span<const IniKey<Record>> keys,
    Record& record)
{
    for (const IniKey<Record>& key : keys)
        readIniKey(ini, section, key, record);
}

template <typename Record>
void writeIniKeys(IniFile& ini, std::string_view section, std::span<const IniKey<Record>> keys,
    const Record& record)
{
    for (const IniKey<Record>& key : keys)
        writeIniKey(ini, section, key, record);
}

} // namespace zenkel
