#pragma once

#include "platform/PrintService.h"

#include <string>

// The paper a page is laid out on when there is no printer to ask: A4, or US
// Letter where the user's locale says so.
class PaperSize {
public:
  enum class Kind { A4, Letter };

  // Sheet sizes in hundredths of a millimetre.
  static constexpr int A4Width = 21000;
  static constexpr int A4Length = 29700;
  static constexpr int LetterWidth = 21590;
  static constexpr int LetterLength = 27940;
  // Resolution of the page's layout: the printing rules place the picture in
  // whole dots.
  static constexpr int LayoutDpi = PrintService::defaultDpi;

  // The paper of the locale named by the environment for paper sizes
  // (LC_ALL, then LC_PAPER, then LANG): the size the locale's data gives
  // where that locale is installed, otherwise told by the locale name's
  // territory; A4 when nothing is named.
  static Kind FromEnvironment();
  // Letter for a sheet of about 216 by 279 mm (within a millimetre), A4 for
  // anything else.
  static Kind FromMillimetres(int width, int height);
  // Letter when the locale name (language_TERRITORY.codeset@modifier) names
  // a territory that uses it, A4 otherwise.
  static Kind FromLocaleName(const std::string &name);
  // The sheet as a page with no margins (everything printable) at LayoutDpi.
  static PrintPage Page(Kind kind);
  static const char *Name(Kind kind) { return kind == Kind::Letter ? "Letter" : "A4"; }
};
