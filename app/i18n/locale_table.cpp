#include "app/i18n/locale_table.h"

#include <algorithm>
#include <cctype>

#include "base/atomic_file.h"

namespace orvex {

namespace {

// Locale files are small; anything far beyond this is not one of ours.
constexpr std::size_t kMaxLocaleFileBytes = 4u << 20;

}  // namespace

LocaleTable::LocaleTable(Json root) {
    if (root.is_object()) {
        root_ = std::move(root);
    }
}

std::optional<LocaleTable> LocaleTable::fromFile(const std::filesystem::path& directory,
                                                 std::string_view code, std::string* error) {
    // The code comes from the settings file or a command; it names a resource, never a path,
    // so "../x" or "/etc/x" must not reach another JSON file.
    const bool plainName =
        !code.empty() && code.size() <= 35 && std::all_of(code.begin(), code.end(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
        });
    if (!plainName) {
        if (error) {
            *error = "not a language code";
        }
        return std::nullopt;
    }
    std::string reason;
    const auto path = directory / (std::string(code) + ".json");
    const auto contents = readWholeFile(path, &reason, kMaxLocaleFileBytes);
    if (!contents) {
        if (error) {
            *error = reason;
        }
        return std::nullopt;
    }
    auto parsed = parseJson(*contents);
    if (!parsed.value) {
        if (error) {
            *error = parsed.error;
        }
        return std::nullopt;
    }
    if (!parsed.value->is_object()) {
        if (error) {
            *error = "top level is not an object";
        }
        return std::nullopt;
    }
    return LocaleTable(std::move(*parsed.value));
}

std::string LocaleTable::text(std::string_view key, const TextParams& params) const {
    const Json* current = &root_;
    std::size_t start = 0;
    while (start <= key.size()) {
        std::size_t dot = key.find('.', start);
        if (dot == std::string_view::npos) {
            dot = key.size();
        }
        const std::string_view piece = key.substr(start, dot - start);
        start = dot + 1;
        if (piece.empty()) {
            continue;
        }
        if (!current->is_object()) {
            return std::string(key);
        }
        const auto member = current->find(piece);
        if (member == current->end()) {
            return std::string(key);
        }
        current = &*member;
    }
    // A key without pieces stops at the whole table, which is not a string either.
    if (!current->is_string()) {
        return std::string(key);
    }
    const auto& value = current->get_ref<const std::string&>();
    return params.empty() ? value : fillPlaceholders(value, params);
}

std::string fillPlaceholders(std::string_view text, const TextParams& params) {
    std::string result;
    result.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t open = text.find("${", position);
        if (open == std::string_view::npos) {
            break;
        }
        const std::size_t close = text.find('}', open + 2);
        if (close == std::string_view::npos) {
            break;
        }
        const auto name = std::string(text.substr(open + 2, close - open - 2));
        const auto value = params.find(name);
        if (value == params.end()) {
            // Keep the "${" and look for a placeholder that starts inside this one.
            result.append(text.substr(position, open + 2 - position));
            position = open + 2;
            continue;
        }
        result.append(text.substr(position, open - position));
        result.append(value->second);
        position = close + 1;
    }
    result.append(text.substr(std::min(position, text.size())));
    return result;
}

}  // namespace orvex
