// The documents made from the settings and option tables at build time, so
// they cannot drift from the program: the XScreenSaver configuration file, the
// manual page, and the README as the HTML page the sheet's web-site button opens.
#pragma once

#include <string>

// The daemon's description of the hack: one control per setting, each
// mapped to its command-line override.
std::string XScreenSaverXml();

// frostvale(6) in man(7) format; OPTIONS lists every option of the command line.
std::string ManPage(const std::string& version);

// The README's Markdown as a plain HTML page (headings, paragraphs, code
// blocks, tables and inline code; nothing else of Markdown is needed).
std::string ReadmeHtml(const std::string& markdown);
