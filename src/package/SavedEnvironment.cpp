#include "package/SavedEnvironment.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace {

constexpr const char* Escaped = "%;=";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<std::string> Unescape(const std::string& text) {
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            value += text[i];
            continue;
        }
        const int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? HexDigit(text[i + 2]) : -1;
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        value += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return value;
}

bool GoodName(const std::string& name) {
    return !name.empty() && name.find_first_of(Escaped) == std::string::npos;
}

} // namespace

std::string EncodeVariables(const std::vector<EnvironmentVariable>& variables) {
    static const char* const Hex = "0123456789ABCDEF";
    std::string text;
    for (const EnvironmentVariable& variable : variables) {
        text += (text.empty() ? "" : ";") + variable.Name;
        if (!variable.Value) {
            continue;
        }
        text += '=';
        for (const char c : *variable.Value) {
            if (std::string_view(Escaped).find(c) != std::string_view::npos) {
                text += {'%', Hex[c >> 4], Hex[c & 15]};
            } else {
                text += c;
            }
        }
    }
    return text;
}

std::vector<EnvironmentVariable> DecodeVariables(const std::string& text) {
    std::vector<EnvironmentVariable> variables;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find(';', start), text.size());
        const std::string entry = text.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = entry.find('=');
        EnvironmentVariable variable{entry.substr(0, equals), std::nullopt};
        if (equals != std::string::npos) {
            variable.Value = Unescape(entry.substr(equals + 1));
            if (!variable.Value) {
                continue;
            }
        }
        if (GoodName(variable.Name)) {
            variables.push_back(std::move(variable));
        }
    }
    return variables;
}

std::vector<EnvironmentVariable> SetVariables(const std::vector<EnvironmentVariable>& variables) {
    std::vector<EnvironmentVariable> before;
    for (const EnvironmentVariable& variable : variables) {
        const char* now = std::getenv(variable.Name.c_str());
        before.push_back({variable.Name, now ? std::optional<std::string>(now) : std::nullopt});
        if (variable.Value) {
            setenv(variable.Name.c_str(), variable.Value->c_str(), 1);
        } else {
            unsetenv(variable.Name.c_str());
        }
    }
    return before;
}
