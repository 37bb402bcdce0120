#pragma once

#include "gfx/PixelRect.h"
#include "platform/PdfPage.h"

class LogGate;

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The sheet a destination prints on by default. Lengths are hundredths of a
// millimetre, as the print server reports them; the margins bound the
// printable area.
struct PrintPage {
  int mediaWidth = 0;
  int mediaLength = 0;
  int leftMargin = 0;
  int rightMargin = 0;
  int topMargin = 0;
  int bottomMargin = 0;
  // Printer dots per inch across and down.
  int xDpi = 300;
  int yDpi = 300;

  // The printable area in whole printer dots (fractions of a dot dropped).
  int HorzDots() const;
  int VertDots() const;
};

// Printing on the system's default destination, with no dialog: the print
// server is found as the client library's settings say (CUPS_SERVER, the
// client configuration, or the local server), the default destination and its
// default media, printable area and resolution are read, and one page is sent
// as a PDF of the media size.
//
// No call waits long: the connection is opened with a 3 s limit and the whole
// use of one PrintService, from OpenDefault to the end of PrintPicture, is
// bounded to about 5 s, so that a server that accepts and never answers only
// holds the caller that long.
class PrintService {
public:
  // Seconds that one PrintService may wait for the print server in all.
  static constexpr double totalTimeLimit = 5.0;
  // Milliseconds allowed for opening the connection.
  static constexpr int connectTimeLimit = 3000;
  // The resolution assumed when the destination reports none, or one beyond
  // any printer's (maxDpi).
  static constexpr int defaultDpi = 300;
  static constexpr int maxDpi = 9600;

  // Failures are reported through `gate` when one is given (not owned),
  // else straight to standard error.
  explicit PrintService(LogGate *gate = nullptr);
  PrintService(const PrintService &) = delete;
  PrintService &operator=(const PrintService &) = delete;
  ~PrintService();

  // Connects to the print server and finds the default destination and its
  // page. False at once, with one line on standard error, when there is no
  // server or no default destination; false when the server does not answer
  // within the time limit.
  bool OpenDefault();
  // The page found by OpenDefault.
  const PrintPage &Page() const { return page; }

  // Composes one page of Page()'s media size with the picture scaled into
  // `dots` (printer dots from the printable area's top-left corner), every
  // picture pixel a sharp block, and submits it as one job named `title`.
  // True only when the server accepted the whole document.
  bool PrintPicture(const PrintablePicture &picture, const PixelRect &dots, const std::string &title);

  // A page from a media record (the server's, or a sheet of paper's); a resolution of 0 or less stands
  // for "not reported" and becomes defaultDpi, as does one above maxDpi;
  // negative margins count as none.
  static PrintPage MakePage(int mediaWidth, int mediaLength, int leftMargin, int rightMargin,
                            int topMargin, int bottomMargin, int xDpi, int yDpi);
  // Where a rectangle given in printer dots from the printable area's top-left
  // corner lies on the sheet, in points: a dot is 72 / dpi points, and the
  // printable area starts at the left and top margins.
  static PageRect DotsToPoints(const PrintPage &page, const PixelRect &dots);
  // A length given in hundredths of a millimetre, in points.
  static double PointsFromHundredthsOfMillimetre(int length) { return length * 72.0 / 2540.0; }

private:
  struct Session;

  void Report(const std::string &line);

  std::unique_ptr<Session> session;
  PrintPage page;
  LogGate *log = nullptr;
};
