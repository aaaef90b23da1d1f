#include <filesystem>

#include "glyvor/machine.h"
#include "glyvor/server.h"
#include "host/session/font_manager_setup.h"

namespace host::session {

namespace {
// The only registration Wine's COM reads; the emulation keeps one registry per
// machine folder and takes either.
constexpr glyvor::RegistrationScope kScope = glyvor::RegistrationScope::AllUsers;
}  // namespace

struct FontManagerSetup::Server {
    glyvor::RunningGlyvor server;
};

FontManagerSetup::FontManagerSetup(std::string machine)
    : m_machine(std::move(machine)), m_server(std::make_unique<Server>()) {}

FontManagerSetup::~FontManagerSetup() = default;

bool FontManagerSetup::Index(const std::vector<glyvor::GroupSource>& groups,
                             std::vector<glyvor::GroupReport>* report, std::string* error) {
    return SUCCEEDED(glyvor::SetUpGlyvor(m_machine, groups, error, report, kScope));
}

bool FontManagerSetup::IsRegistered() const {
    return std::filesystem::exists(glyvor::RegistrationFile(m_machine));
}

bool FontManagerSetup::Register(const std::string& catalog, std::string* error) {
    return SUCCEEDED(glyvor::RegisterGlyvor(m_machine, glyvor::DefaultServerModulePath(), catalog,
                                            error, kScope));
}

bool FontManagerSetup::Start(std::string* error) {
    return SUCCEEDED(m_server->server.Start(error));
}

void FontManagerSetup::Stop() { m_server->server.Stop(); }

bool FontManagerSetup::Running() const { return m_server->server.running(); }

bool FontManagerSetup::Unregister(std::string*) {
    m_server->server.Stop();
    glyvor::UnregisterGlyvor(m_machine, kScope);
    return true;
}

}  // namespace host::session
