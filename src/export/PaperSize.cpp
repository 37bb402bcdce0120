#include "export/PaperSize.h"

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace {
  // Territories whose locales print on US Letter by default.
  constexpr const char *LetterTerritories[] = {"BO", "CA", "CL", "CO", "CR", "GT", "MX",
                                               "NI", "PA", "PH", "PR", "SV", "US", "VE"};

  std::string NamedLocale()
  {
    for(const char *variable : {"LC_ALL", "LC_PAPER", "LANG"})
    {
      const char *value = std::getenv(variable);
      if(value && *value)
        return value;
    }
    return std::string();
  }

  // What nl_langinfo gives for a paper item: a number in a pointer's place.
  int PaperItem(nl_item item, locale_t locale)
  {
    union {
      const char *string;
      unsigned int word;
    } value{};
    value.string = nl_langinfo_l(item, locale);
    return static_cast<int>(value.word);
  }
}

PaperSize::Kind PaperSize::FromEnvironment()
{
  const std::string name = NamedLocale();
  if(name.empty())
    return Kind::A4;
  if(locale_t locale = newlocale(LC_PAPER_MASK, name.c_str(), static_cast<locale_t>(nullptr)))
  {
    const int width = PaperItem(_NL_PAPER_WIDTH, locale);
    const int height = PaperItem(_NL_PAPER_HEIGHT, locale);
    freelocale(locale);
    if(width > 0 && height > 0)
      return FromMillimetres(width, height);
  }
  return FromLocaleName(name);
}

PaperSize::Kind PaperSize::FromMillimetres(int width, int height)
{
  const int letterWidth = LetterWidth / 100;
  const int letterLength = LetterLength / 100;
  const bool letter = std::abs(width - letterWidth) <= 1 && std::abs(height - letterLength) <= 1;
  return letter ? Kind::Letter : Kind::A4;
}

PaperSize::Kind PaperSize::FromLocaleName(const std::string &name)
{
  const size_t underscore = name.find('_');
  if(underscore == std::string::npos)
    return Kind::A4;
  const size_t end = name.find_first_of(".@", underscore);
  const std::string territory = name.substr(underscore + 1, end == std::string::npos ? std::string::npos
                                                                                      : end - underscore - 1);
  for(const char *letter : LetterTerritories)
    if(territory == letter)
      return Kind::Letter;
  return Kind::A4;
}

PrintPage PaperSize::Page(Kind kind)
{
  const bool letter = kind == Kind::Letter;
  return PrintService::MakePage(letter ? LetterWidth : A4Width, letter ? LetterLength : A4Length, 0, 0, 0, 0,
                                LayoutDpi, LayoutDpi);
}
