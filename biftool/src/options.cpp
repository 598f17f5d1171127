#include "options.h"

#include "input_file.h"
#include "vintrel_version.h"

namespace bif {

std::string usage_text()
{
    return "Usage: biftool [OPTIONS] ARCHIVE...        list the resources in BIF archives\n"
           "       biftool [OPTIONS] -extr ARCHIVE...  extract them, each into a folder named after it\n"
           "       biftool [OPTIONS] --archives        list the archives the game's index names\n"
           "       biftool [OPTIONS] --game [-extr]    list or extract every resource of the game\n"
           "       biftool --help | --version\n";
}

std::string help_text()
{
    return "biftool " VINTREL_VERSION_TEXT " - lists and extracts the BIF archives of Infinity Engine games\n\n" +
           usage_text() +
           "\nARCHIVE is a .bif (or .cbf) file: BIFF V1, BIF V1.0 or BIFC V1.0. The resource names and\n"
           "extensions come from the game's index: the nearest chitin.key (or an expansion's mod.key)\n"
           "in the archive's folder or any folder above it that lists the archive, wherever the game\n"
           "keeps it (data\\, CD2\\data\\, cache\\, lang\\de_DE\\data\\), else one above the current\n"
           "folder; --key names it outright. Resources the index does not name are called LOCxxxxx\n"
           "after their locator. \"-extr data\\AREA000A.bif\" writes every resource into data\\AREA000A\\.\n"
           "--archives and --game read the index in the current folder or the one above (or --key's).\n"
           "Options go before, between or after the archives; an archive whose name starts with '-'\n"
           "may follow \"--\".\n"
           "\nOptions (each also as --option=VALUE):\n"
           "  --type TYPE       only resources of this type: an extension (2DA, IDS, ...) or a type\n"
           "                    code (0x03F4, 1012); several separated by commas, or the option again\n"
           "  --name PATTERN    only resources whose name matches: * any run of characters, ? one,\n"
           "                    case ignored; with a dot the extension counts (\"AR0100.*\");\n"
           "                    the option again adds a pattern\n"
           "  --out FOLDER      extract into FOLDER (made if missing, with the folders above it),\n"
           "                    all archives together; --game -extr without it writes into\n"
           "                    \"resources\" in the current folder\n"
           "  --per-archive     with --out or --game: a folder per archive inside it\n"
           "  --keep            never replace an existing file; say how many were kept\n"
           "  --decrypt         write encrypted 2DA and IDS files as plain text (the default\n"
           "                    writes every resource byte for byte as the archive holds it)\n"
           "  --format FORM     listings for scripts, one resource a line: jsonl (JSON objects) or\n"
           "                    tsv (a header, then tab-separated fields); the fields are name,\n"
           "                    extension, type (code, decimal), size (bytes), archive, locator\n"
           "  --key INDEX       the game's index to name the resources by (chitin.key or mod.key)\n"
           "\nExamples:\n"
           "  biftool data\\AREA000A.bif                         what one archive holds\n"
           "  biftool -extr data\\AREA000A.bif data\\AREA000B.bif\n"
           "                                                    each into a folder beside it\n"
           "  biftool --game --type 2DA --out mytables -extr    every 2DA of the game\n"
           "  biftool --game --name \"AR0100*\" -extr --out ar0100\n"
           "                                                    AR0100's files wherever they lie\n"
           "  biftool --game --type DLG --keep --out mymod -extr\n"
           "                                                    the dialogues, keeping your edits\n"
           "  biftool --game --per-archive --out all -extr      all\\AREA000A\\, all\\AREA000B\\, ...\n"
           "  biftool --game --format tsv > resources.tsv       a table of the game for scripts\n"
           "  biftool --game --type ARE --format jsonl          the areas, one JSON object a line\n"
           "  biftool --archives                                where each archive was found\n"
           "  biftool --key ..\\mod.key -extr data\\MODAREA.bif   named through an expansion's index\n"
           "  biftool --type IDS --decrypt -extr data\\DEFAULT.bif\n"
           "                                                    the IDS files as plain text\n"
           "  biftool -extr -- -odd-.bif                        an archive named like an option\n"
           "\nExit status:\n"
           "  0  everything listed or written\n"
           "  1  wrong command line\n"
           "  2  the archive (or the index named by --key) is unusable, or nothing could be written\n"
           "     (the output folder cannot be made or written, too little free space)\n"
           "  3  some resources are damaged or could not be written; the others were\n"
           "     (with several archives or the whole game: some archives are missing or unusable)\n"
           "  4  everything listed or written, but named LOCxxxxx: the index found does not list\n"
           "     the archive or cannot be read (the note says which and why)\n";
}

namespace {

// "--name=X" or "--name X": the value, taken from the next argument when needed.
bool option_value(const std::vector<std::string>& args, std::size_t& i, const std::string& opt, std::string& value,
                  bool& matched)
{
    const std::string& a = args[i];
    if (a == opt) {
        matched = true;
        if (i + 1 >= args.size())
            return false;
        value = args[++i];
        return true;
    }
    if (a.size() > opt.size() && a.compare(0, opt.size(), opt) == 0 && a[opt.size()] == '=') {
        matched = true;
        value = a.substr(opt.size() + 1);
        return true;
    }
    return false;
}

} // namespace

// Options come first or among the archives; an argument that names an existing file is an
// archive even when it starts with '-' (unless it is one of the options), and "--" ends the options.
Options parse_options(const std::vector<std::string>& args, std::string& problem)
{
    Options o;
    bool options = true, extract = false, help = false, version = false, archives = false, game = false;
    std::string unknown;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string value;
        bool valued = false;
        auto takes = [&](const char* opt) {
            bool ok = option_value(args, i, opt, value, valued);
            if (valued && !ok && problem.empty())
                problem = std::string(opt) + " needs a value";
            return valued && ok;
        };
        if (!options) {
            o.archives.push_back(a);
        } else if (a == "--") {
            options = false;
        } else if (a == "-extr") {
            extract = true;
        } else if (a == "--help" || a == "-h" || a == "-?" || a == "/?") {
            help = true;
        } else if (a == "--version") {
            version = true;
        } else if (a == "--archives") {
            archives = true;
        } else if (a == "--game") {
            game = true;
        } else if (a == "--per-archive") {
            o.per_archive = true;
        } else if (a == "--keep") {
            o.keep = true;
        } else if (a == "--decrypt") {
            o.decrypt = true;
        } else if (takes("--type")) {
            std::string why;
            if (!o.filter.add_types(value, why) && problem.empty())
                problem = why;
        } else if (takes("--name")) {
            o.filter.add_name(value);
        } else if (takes("--out")) {
            o.out = value;
        } else if (takes("--key")) {
            o.index = value;
        } else if (takes("--format")) {
            if (value == "jsonl")
                o.format = ListFormat::jsonl;
            else if (value == "tsv")
                o.format = ListFormat::tsv;
            else if (value == "table")
                o.format = ListFormat::table;
            else if (problem.empty())
                problem = "unknown listing format \"" + value + "\" (jsonl or tsv)";
        } else if (valued) {
            // its value is missing: said above
        } else if (a.size() < 2 || a[0] != '-' || path_exists(a)) {
            o.archives.push_back(a);
        } else if (unknown.empty()) {
            unknown = a;
        }
    }
    if (!unknown.empty())
        problem = "unknown option " + unknown;
    if (!problem.empty())
        return o;
    if (help || version) {
        if (args.size() != 1)
            problem = "--help and --version stand alone";
        o.mode = help ? Mode::help : Mode::version;
        return o;
    }
    if (archives || game) {
        if (!o.archives.empty())
            problem = std::string(archives ? "--archives" : "--game") + " takes no archive (the index names them)";
        else if (archives && (game || extract))
            problem = "--archives lists the index's archives; it goes with neither --game nor -extr";
        else if (!extract && (o.out || o.keep || o.decrypt || o.per_archive))
            problem = "--out, --per-archive, --keep and --decrypt go with -extr";
        o.mode = archives ? Mode::list_archives : extract ? Mode::extract_game : Mode::list_game;
        return o;
    }
    if (!extract && (o.out || o.keep || o.decrypt || o.per_archive))
        problem = "--out, --per-archive, --keep and --decrypt go with -extr";
    o.mode = extract ? Mode::extract : Mode::list;
    if (o.archives.empty())
        problem = "no archive given";
    for (const std::string& a : o.archives)
        if (a.empty())
            problem = "empty archive name";
    if (o.format != ListFormat::table && extract)
        problem = "--format is for listings, not for -extr";
    return o;
}

} // namespace bif
