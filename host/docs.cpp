#include "host/docs.h"

#include <algorithm>
#include <sstream>
#include <vector>

#include "host/options.h"
#include "host/settings.h"

namespace {
std::string XmlEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&apos;"; break;
            default: out += c;
        }
    }
    return out;
}

// man(7) text: backslashes doubled, dashes made plain minus signs, and no line
// starting with a control character.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

const char* kDescription =
    "A 3-D Christmas night: a snowy village scrolls past under stars, clouds and a moon "
    "while Santa's sleigh, drawn by a team of reindeer, lands on the roofs to deliver "
    "presents down the chimneys. A countdown to Christmas Day and carols go with it.";
}  // namespace

std::string XScreenSaverXml() {
    std::ostringstream x;
    x << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n\n"
      << "<screensaver name=\"frostvale\" _label=\"Frostvale\" gl=\"yes\">\n\n"
      << "  <command arg=\"-root\"/>\n\n";
    // In the settings sheet's order, so both dialogs read alike.
    std::vector<const SettingRow*> rows;
    for (const SettingRow& row : SettingsTable()) {
        if (row.option != nullptr) rows.push_back(&row);
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const SettingRow* a, const SettingRow* b) { return a->sheetPosition < b->sheetPosition; });
    for (const SettingRow* rowPointer : rows) {
        const SettingRow& row = *rowPointer;
        const std::string id = row.option;
        const std::string label = XmlEscape(row.label);
        if (row.kind == SettingKind::RunInteger) {
            // As every hack's frame-rate slider: the delay reads inverted, fast on the right.
            x << "  <number id=\"" << id << "\" type=\"slider\" arg=\"-" << id << " %\"\n          _label=\"" << label
              << "\" _low-label=\"Low\" _high-label=\"High\"\n          low=\"" << row.minimum << "\" high=\""
              << row.maximum << "\" default=\"" << row.fallback << "\" convert=\"invert\"/>\n";
        } else if (row.kind == SettingKind::Bool) {
            // The daemon passes an argument only when the box differs from its default.
            x << "  <boolean id=\"" << id << "\" _label=\"" << label << "\" "
              << (row.fallback ? "arg-unset=\"-no-" + id + "\"" : "arg-set=\"-" + id + "\"") << "/>\n";
        } else if (row.choices != nullptr) {
            x << "  <select id=\"" << id << "\">\n";
            // The default first and without an argument, as the daemon expects of a menu.
            x << "    <option id=\"" << id << row.fallback << "\" _label=\"" << XmlEscape(row.choices[row.fallback])
              << "\"/>\n";
            for (int i = 0; i < row.choiceCount; ++i) {
                if (i == row.fallback) continue;
                x << "    <option id=\"" << id << i << "\" _label=\"" << XmlEscape(row.choices[i]) << "\" arg-set=\"-"
                  << id << " " << i << "\"/>\n";
            }
            x << "  </select>\n";
        } else {
            const bool slider = row.maximum - row.minimum > 50;
            x << "  <number id=\"" << id << "\" type=\"" << (slider ? "slider" : "spinbutton") << "\" arg=\"-" << id
              << " %\"\n          _label=\"" << label << "\"";
            if (slider) x << " _low-label=\"" << row.minimum << "\" _high-label=\"" << row.maximum << "\"";
            x << "\n          low=\"" << row.minimum << "\" high=\"" << row.maximum << "\" default=\"" << row.fallback
              << "\"/>\n";
        }
    }
    x << "  <boolean id=\"showfps\" _label=\"Show frame rate\" arg-set=\"-fps\"/>\n\n"
      << "  <xscreensaver-updater />\n\n"
      << "  <_description>\n" << XmlEscape(kDescription) << "\n\n"
      << "The settings chosen here apply to this hack's runs; \"frostvale --settings\" "
         "edits the settings the saver keeps for itself.\n"
      << "  </_description>\n"
      << "</screensaver>\n";
    return x.str();
}

std::string ManPage(const std::string& version) {
    std::ostringstream m;
    m << ".TH FROSTVALE 6 \"\" \"Frostvale " << Roff(version) << "\" \"Games\"\n"
      << ".SH NAME\nfrostvale \\- a 3\\-D Christmas\\-night screen saver\n"
      << ".SH SYNOPSIS\n.B frostvale\n[\\fIOPTION\\fR]...\n"
      << ".SH DESCRIPTION\n" << Roff(kDescription) << "\n.PP\n"
      << "With no option it opens a 1280x720 window (Esc or q quits, F toggles full screen). "
         "It also runs full screen on every display, headless (drawing frames with no display at all) "
         "and as an XScreenSaver hack (\\fB\\-root\\fR, \\fB\\-window\\-id\\fR).\n"
      << ".SH OPTIONS\nEvery option may be written with one dash or two, and a value may follow "
         "as the next word or after \\(lq=\\(rq. "
         "The settings options (from \\fB\\-\\-main\\-monitor\\-only\\fR on) apply to one run only "
         "and are never stored; a value outside its range is a usage error.\n";
    for (const OptionHelp& line : OptionHelpLines()) {
        const auto space = line.spelling.find(' ');
        m << ".TP\n\\fB" << Roff(line.spelling.substr(0, space)) << "\\fR";
        if (space != std::string::npos) m << " \\fI" << Roff(line.spelling.substr(space + 1)) << "\\fR";
        m << "\n" << Roff(line.help) << "\n";
    }
    m << ".SH FILES\n.TP\n.I $XDG_CONFIG_HOME/frostvale/qbFrostvale.conf\n"
      << "The stored settings (\\fI~/.config\\fR when XDG_CONFIG_HOME is unset), one Key=value line each:\n";
    for (const SettingRow& row : SettingsTable()) {
        if (row.kind == SettingKind::RunInteger) continue;
        m << ".br\n" << row.key << "=";
        if (row.kind == SettingKind::Version) {
            m << "1.0 \\(em without exactly this line the file is replaced by the defaults\n";
        } else if (row.kind == SettingKind::Bool) {
            m << (row.fallback ? "1" : "0") << " \\(em " << Roff(row.label) << ", 1 or 0\n";
        } else {
            m << row.fallback << " \\(em " << Roff(row.label) << ", " << row.minimum << " to " << row.maximum << "\n";
        }
    }
    m << ".TP\n.I /usr/share/frostvale\nThe pictures, models and carols.\n"
      << ".SH EXIT STATUS\n0 success, 1 run\\-time failure, 2 usage error.\n"
      << ".SH SEE ALSO\n.BR xscreensaver (1),\n.BR xscreensaver\\-settings (1)\n";
    return m.str();
}

std::string ReadmeHtml(const std::string& markdown) {
    auto inline_ = [](const std::string& line) {
        std::string out;
        bool code = false;
        for (char c : line) {
            if (c == '`') {
                out += code ? "</code>" : "<code>";
                code = !code;
            } else {
                out += XmlEscape(std::string(1, c));
            }
        }
        if (code) out += "</code>";
        return out;
    };
    std::istringstream in(markdown);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);

    std::string title = "Frostvale";
    std::string body;
    enum class Block { None, Paragraph, Code, Table } block = Block::None;
    auto close = [&] {
        if (block == Block::Paragraph) body += "</p>\n";
        if (block == Block::Code) body += "</pre>\n";
        if (block == Block::Table) body += "</table>\n";
        block = Block::None;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.rfind("    ", 0) == 0 && block != Block::Paragraph) {
            if (block != Block::Code) {
                close();
                body += "<pre>";
                block = Block::Code;
            }
            body += XmlEscape(line.substr(4)) + "\n";
            continue;
        }
        if (line.empty()) {
            // A blank line inside a code block belongs to it when the block goes on.
            if (block == Block::Code && i + 1 < lines.size() && lines[i + 1].rfind("    ", 0) == 0) {
                body += "\n";
                continue;
            }
            close();
            continue;
        }
        if (line[0] == '#') {
            close();
            const auto hashes = line.find_first_not_of('#');
            const std::string level = std::to_string(hashes);
            const std::string text = line.substr(line.find_first_not_of(' ', hashes));
            if (hashes == 1) title = text;
            body += "<h" + level + ">" + inline_(text) + "</h" + level + ">\n";
        } else if (line == "---") {
            close();
            body += "<hr>\n";
        } else if (line[0] == '|') {
            if (line.find("|---") == 0) continue;
            if (block != Block::Table) {
                close();
                body += "<table>\n";
                block = Block::Table;
            }
            body += "<tr>";
            std::string cell;
            for (std::size_t c = 1; c < line.size(); ++c) {
                if (line[c] == '|') {
                    body += "<td>" + inline_(cell) + "</td>";
                    cell.clear();
                } else {
                    cell += line[c];
                }
            }
            body += "</tr>\n";
        } else {
            if (block != Block::Paragraph) {
                close();
                body += "<p>";
                block = Block::Paragraph;
            } else {
                body += "\n";
            }
            body += inline_(line);
        }
    }
    close();
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + XmlEscape(title) +
           "</title>\n<style>body{max-width:50em;margin:2em auto;padding:0 1em;font-family:sans-serif;"
           "line-height:1.45}pre{background:#eef;padding:.6em;overflow:auto}td{border:1px solid #ccd;"
           "padding:.2em .5em}table{border-collapse:collapse}</style>\n</head>\n<body>\n" +
           body + "</body>\n</html>\n";
}
