#include "platform/UserLocale.h"

std::string SystemUiLocale() { return std::string(); }
