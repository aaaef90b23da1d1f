// Where the font manager has no server control built for this platform.
#include "host/session/font_manager_setup.h"

namespace host::session {

namespace {
bool Unavailable(std::string* error) {
    *error = "not available in this edition: the font manager's server control is not built here";
    return false;
}
}  // namespace

struct FontManagerSetup::Server {};

FontManagerSetup::FontManagerSetup(std::string machine) : m_machine(std::move(machine)) {}

FontManagerSetup::~FontManagerSetup() = default;

bool FontManagerSetup::Index(const std::vector<glyvor::GroupSource>&,
                             std::vector<glyvor::GroupReport>*, std::string* error) {
    return Unavailable(error);
}

bool FontManagerSetup::IsRegistered() const { return false; }

bool FontManagerSetup::Register(const std::string&, std::string* error) {
    return Unavailable(error);
}

bool FontManagerSetup::Start(std::string* error) { return Unavailable(error); }

void FontManagerSetup::Stop() {}

bool FontManagerSetup::Running() const { return false; }

bool FontManagerSetup::Unregister(std::string* error) { return Unavailable(error); }

}  // namespace host::session
