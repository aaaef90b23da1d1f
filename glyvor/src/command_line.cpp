#include "glyvor/command_line.h"

#include <algorithm>
#include <cctype>
#include <ostream>

#include "glyvor/catalog.h"
#include "glyvor/font_matcher.h"
#include "glyvor/indexer.h"
#include "glyvor/machine.h"
#include "glyvor/native_path.h"
#include "glyvor/server.h"

namespace glyvor {

namespace {

const char kUsage[] =
    "usage: glyvor index --out CATALOG [--group NAME=DIR]...\n"
    "       glyvor match CATALOG NAME\n"
    "       glyvor list CATALOG\n"
    "       glyvor register --machine DIR [--catalog CATALOG] [--module SERVER] [--all-users]\n"
    "       glyvor unregister --machine DIR [--all-users]\n"
    "       glyvor serve --machine DIR [-Embedding]     (Windows)\n";

int Usage(std::ostream& err, const std::string& why) {
    err << "glyvor: " << why << "\n" << kUsage;
    return kExitUsage;
}

int Index(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string catalogPath;
    std::vector<GroupSource> sources;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--out" || a == "--group") && i + 1 == args.size()) {
            return Usage(err, a + " needs a value");
        }
        if (a == "--out") {
            if (!catalogPath.empty()) return Usage(err, "--out given twice");
            catalogPath = NativePath(args[++i]);
            if (catalogPath.empty()) return Usage(err, "--out needs a file name");
        } else if (a == "--group") {
            const std::string& value = args[++i];
            const std::size_t eq = value.find('=');
            if (eq == std::string::npos || eq == 0 || eq + 1 == value.size()) {
                return Usage(err, "--group takes NAME=DIR, not '" + value + "'");
            }
            sources.push_back({value.substr(0, eq), value.substr(eq + 1)});
        } else {
            return Usage(err, "unknown option '" + a + "'");
        }
    }
    if (catalogPath.empty()) return Usage(err, "index needs --out CATALOG");
    IndexResult result;
    std::string error;
    if (!IndexFolders(sources, &result, &error)) {
        err << "glyvor: " << error << "\n";
        return kExitUsage;
    }
    if (!result.catalog.Save(catalogPath, &error)) {
        err << "glyvor: " << error << "\n";
        return kExitUsage;
    }
    for (const GroupReport& g : result.groups) {
        for (const std::string& refused : g.refused)
            err << "glyvor: " << g.name << ": " << refused << "\n";
        out << g.name << '\t' << g.fonts << " fonts\t" << g.skipped << " skipped\n";
    }
    return kExitOk;
}

bool LoadOrSay(const std::string& path, Catalog* catalog, std::ostream& err) {
    std::string error;
    if (catalog->Load(path, &error)) return true;
    err << "glyvor: " << error << "\n";
    return false;
}

int Match(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) return Usage(err, "match takes CATALOG NAME");
    Catalog catalog;
    if (!LoadOrSay(NativePath(args[1]), &catalog, err)) return kExitUsage;
    MatchResult match = FontMatcher(catalog).Match(args[2]);
    if (!match.entry) return kExitNoMatch;
    out << catalog.IdentifierOf(*match.entry) << '\t' << catalog.DetailOf(*match.entry) << '\n';
    return kExitOk;
}

int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return Usage(err, "list takes CATALOG");
    Catalog catalog;
    if (!LoadOrSay(NativePath(args[1]), &catalog, err)) return kExitUsage;
    for (const FontEntry& e : catalog.entries()) {
        out << catalog.IdentifierOf(e) << '\t' << FormatTag(e.format) << '\t' << e.postScriptName
            << '\t' << e.fullName << '\n';
    }
    return kExitOk;
}

// Reads "--name value" pairs and the flags named in `flags`; false (and *why)
// for anything else. A flag's value reads "yes" when given.
bool Options(const std::vector<std::string>& args, const std::vector<std::string>& known,
             const std::vector<std::string>& flags, std::vector<std::string>* values,
             std::string* why) {
    values->assign(known.size(), std::string());
    std::vector<bool> seen(known.size(), false);
    for (std::size_t i = 1; i < args.size(); i += 2) {
        std::size_t k = 0;
        while (k < known.size() && known[k] != args[i]) ++k;
        if (k == known.size()) {
            *why = "unknown option '" + args[i] + "'";
            return false;
        }
        const bool flag = std::find(flags.begin(), flags.end(), known[k]) != flags.end();
        if (seen[k]) {
            *why = args[i] + " given twice";
            return false;
        }
        seen[k] = true;
        if (flag) {
            (*values)[k] = "yes";
            --i;  // a flag takes no value
            continue;
        }
        if (i + 1 == args.size() || args[i + 1].empty()) {
            *why = args[i] + " needs a value";
            return false;
        }
        (*values)[k] = args[i + 1];
    }
    return true;
}

RegistrationScope ScopeOf(const std::string& allUsers) {
    return allUsers.empty() ? RegistrationScope::CurrentUser : RegistrationScope::AllUsers;
}

int Register(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> v;
    std::string why;
    if (!Options(args, {"--machine", "--catalog", "--module", "--all-users"}, {"--all-users"}, &v,
                 &why)) {
        return Usage(err, why);
    }
    if (v[0].empty()) return Usage(err, "register needs --machine DIR");
    const std::string machine = NativePath(v[0]);
    const std::string module = v[2].empty() ? DefaultServerModulePath() : NativePath(v[2]);
    const std::string catalog = v[1].empty() ? DefaultCatalogPath(machine) : NativePath(v[1]);
    const RegistrationScope scope = ScopeOf(v[3]);
    if (FAILED(RegisterGlyvor(machine, module, catalog, &why, scope))) {
        err << "glyvor: " << why << "\n";
        return kExitUsage;
    }
    out << kProgId << " registered on " << machine << "\tcatalogue " << catalog
        << (scope == RegistrationScope::AllUsers ? "\tall users" : "") << "\n";
    return kExitOk;
}

int Unregister(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> v;
    std::string why;
    if (!Options(args, {"--machine", "--all-users"}, {"--all-users"}, &v, &why)) {
        return Usage(err, why);
    }
    if (v[0].empty()) return Usage(err, "unregister needs --machine DIR");
    const std::string machine = NativePath(v[0]);
    const HRESULT hr = UnregisterGlyvor(machine, ScopeOf(v[1]));
    if (FAILED(hr)) {
        err << "glyvor: the registration on " << machine << " could not be removed\n";
        return kExitUsage;
    }
    out << kProgId << (hr == S_OK ? " unregistered from " : " was not registered on ") << machine
        << "\n";
    return kExitOk;
}

bool IsEmbeddingFlag(std::string arg) {
    std::transform(arg.begin(), arg.end(), arg.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return arg == "-embedding" || arg == "/embedding";
}

int Serve(const std::vector<std::string>& args, std::ostream& err) {
    // COM appends its flag to the registered command line.
    std::vector<std::string> rest;
    bool byCom = false;
    for (const std::string& a : args) {
        if (IsEmbeddingFlag(a)) {
            byCom = true;
        } else {
            rest.push_back(a);
        }
    }
    std::vector<std::string> v;
    std::string why;
    if (!Options(rest, {"--machine"}, {}, &v, &why)) return Usage(err, why);
    if (v[0].empty()) return Usage(err, "serve needs --machine DIR");
    return ServeGlyvor(NativePath(v[0]), byCom, err);
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) return Usage(err, "no command");
    const std::string& command = args[0];
    if (command == "index") return Index(args, out, err);
    if (command == "match") return Match(args, out, err);
    if (command == "list") return List(args, out, err);
    if (command == "register") return Register(args, out, err);
    if (command == "unregister") return Unregister(args, out, err);
    if (command == "serve") return Serve(args, err);
    return Usage(err, "unknown command '" + command + "'");
}

}  // namespace glyvor
