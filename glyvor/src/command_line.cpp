#include "glyvor/command_line.h"

#include <ostream>

#include "glyvor/catalog.h"
#include "glyvor/font_matcher.h"
#include "glyvor/indexer.h"
#include "glyvor/machine.h"
#include "glyvor/server.h"

namespace glyvor {

namespace {

const char kUsage[] =
    "usage: glyvor index --out CATALOG [--group NAME=DIR]...\n"
    "       glyvor match CATALOG NAME\n"
    "       glyvor list CATALOG\n"
    "       glyvor register --machine DIR [--catalog CATALOG] [--module SERVER]\n"
    "       glyvor unregister --machine DIR\n";

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
            catalogPath = args[++i];
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
    if (!LoadOrSay(args[1], &catalog, err)) return kExitUsage;
    MatchResult match = FontMatcher(catalog).Match(args[2]);
    if (!match.entry) return kExitNoMatch;
    out << catalog.IdentifierOf(*match.entry) << '\t' << catalog.DetailOf(*match.entry) << '\n';
    return kExitOk;
}

int List(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return Usage(err, "list takes CATALOG");
    Catalog catalog;
    if (!LoadOrSay(args[1], &catalog, err)) return kExitUsage;
    for (const FontEntry& e : catalog.entries()) {
        out << catalog.IdentifierOf(e) << '\t' << FormatTag(e.format) << '\t' << e.postScriptName
            << '\t' << e.fullName << '\n';
    }
    return kExitOk;
}

// Reads "--name value" pairs; false (and *why) for anything else.
bool Options(const std::vector<std::string>& args, const std::vector<std::string>& known,
             std::vector<std::string>* values, std::string* why) {
    values->assign(known.size(), std::string());
    std::vector<bool> seen(known.size(), false);
    for (std::size_t i = 1; i < args.size(); i += 2) {
        std::size_t k = 0;
        while (k < known.size() && known[k] != args[i]) ++k;
        if (k == known.size()) {
            *why = "unknown option '" + args[i] + "'";
            return false;
        }
        if (i + 1 == args.size() || args[i + 1].empty()) {
            *why = args[i] + " needs a value";
            return false;
        }
        if (seen[k]) {
            *why = args[i] + " given twice";
            return false;
        }
        seen[k] = true;
        (*values)[k] = args[i + 1];
    }
    return true;
}

int Register(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> v;
    std::string why;
    if (!Options(args, {"--machine", "--catalog", "--module"}, &v, &why)) return Usage(err, why);
    if (v[0].empty()) return Usage(err, "register needs --machine DIR");
    const std::string module = v[2].empty() ? DefaultServerModulePath() : v[2];
    const std::string catalog = v[1].empty() ? DefaultCatalogPath(v[0]) : v[1];
    if (FAILED(RegisterGlyvor(v[0], module, catalog, &why))) {
        err << "glyvor: " << why << "\n";
        return kExitUsage;
    }
    out << kProgId << " registered on " << v[0] << "\tcatalogue " << catalog << "\n";
    return kExitOk;
}

int Unregister(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> v;
    std::string why;
    if (!Options(args, {"--machine"}, &v, &why)) return Usage(err, why);
    if (v[0].empty()) return Usage(err, "unregister needs --machine DIR");
    const HRESULT hr = UnregisterGlyvor(v[0]);
    out << kProgId << (hr == S_OK ? " unregistered from " : " was not registered on ") << v[0]
        << "\n";
    return kExitOk;
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
    return Usage(err, "unknown command '" + command + "'");
}

}  // namespace glyvor
