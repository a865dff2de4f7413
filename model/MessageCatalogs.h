#pragma once
#include <string>
#include <vector>

// The translation files compiled into the program (the build writes the definition).
struct EmbeddedMessageCatalog {
    std::string language;
    std::string text;
};
const std::vector<EmbeddedMessageCatalog>& EmbeddedMessageCatalogs();
