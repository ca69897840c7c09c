#pragma once

#include <optional>
#include <string>
#include <vector>

// The variables the portable launcher changes for the player, with the values they had before
// (or their absence), so that programs the player starts, such as a browser, get the user's own
// environment back. The launcher lists them in one variable, TAVRIN_SAVED_ENVIRONMENT, in the text
// EncodeVariables makes.

inline constexpr const char* SavedEnvironmentName = "TAVRIN_SAVED_ENVIRONMENT";

struct EnvironmentVariable {
    std::string Name;
    std::optional<std::string> Value; // none: the variable was not set
};

// Entries joined by ';', each NAME (unset) or NAME=VALUE, with '%', ';' and '=' in values
// written as %25, %3B and %3D.
std::string EncodeVariables(const std::vector<EnvironmentVariable>& variables);
// The entries of `text`; what cannot be read (a bad name or escape) is left out.
std::vector<EnvironmentVariable> DecodeVariables(const std::string& text);

// Sets or unsets each variable as listed, and returns what they were before, so that a second
// call with the result puts them back.
std::vector<EnvironmentVariable> SetVariables(const std::vector<EnvironmentVariable>& variables);
