#include "platform/PrintService.h"

#include "base/Log.h"
#include "base/LogGate.h"

#include <cups/cups.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace {
  using SteadyClock = std::chrono::steady_clock;

  struct HttpCloser {
    void operator()(http_t *http) const { httpClose(http); }
  };
  struct DestFreer {
    void operator()(cups_dest_t *dest) const { cupsFreeDests(1, dest); }
  };
  struct DestInfoFreer {
    void operator()(cups_dinfo_t *info) const { cupsFreeDestInfo(info); }
  };

  // Dots per inch from an IPP resolution; 0 when it is not usable.
  int DotsPerInch(int value, ipp_res_t units)
  {
    if(value <= 0)
      return 0;
    if(units == IPP_RES_PER_CM)
      return static_cast<int>(std::lround(value * 2.54));
    return value;
  }

  bool Failed(ipp_status_t status)
  {
    return status > IPP_STATUS_OK_CONFLICTING;
  }
}

// The connection and the destination between OpenDefault and PrintPicture.
struct PrintService::Session {
  SteadyClock::time_point deadline = SteadyClock::now();
  std::unique_ptr<http_t, HttpCloser> http;
  std::unique_ptr<cups_dest_t, DestFreer> dest;
  std::unique_ptr<cups_dinfo_t, DestInfoFreer> info;

  // Called by the client library each time a wait on the server runs out:
  // keep waiting (1) until the deadline, then give up (0).
  static int KeepWaiting(http_t *, void *data)
  {
    auto *self = static_cast<Session *>(data);
    return SteadyClock::now() < self->deadline ? 1 : 0;
  }

  bool TimedOut() const { return SteadyClock::now() >= deadline; }
};

int PrintPage::HorzDots() const
{
  int64_t area = static_cast<int64_t>(mediaWidth) - leftMargin - rightMargin;
  return area > 0 ? static_cast<int>(area * xDpi / 2540) : 0;
}

int PrintPage::VertDots() const
{
  int64_t area = static_cast<int64_t>(mediaLength) - topMargin - bottomMargin;
  return area > 0 ? static_cast<int>(area * yDpi / 2540) : 0;
}

PrintService::PrintService(LogGate *gate)
  : log(gate)
{
}

void PrintService::Report(const std::string &line)
{
  if(log)
    log->Write(line);
  else
    LogLine(line);
}

PrintService::~PrintService() = default;

PrintPage PrintService::MakePage(int mediaWidth, int mediaLength, int leftMargin, int rightMargin,
                                 int topMargin, int bottomMargin, int xDpi, int yDpi)
{
  PrintPage result;
  result.mediaWidth = mediaWidth;
  result.mediaLength = mediaLength;
  result.leftMargin = std::max(leftMargin, 0);
  result.rightMargin = std::max(rightMargin, 0);
  result.topMargin = std::max(topMargin, 0);
  result.bottomMargin = std::max(bottomMargin, 0);
  result.xDpi = xDpi > 0 && xDpi <= maxDpi ? xDpi : defaultDpi;
  result.yDpi = yDpi > 0 && yDpi <= maxDpi ? yDpi : defaultDpi;
  return result;
}

PageRect PrintService::DotsToPoints(const PrintPage &page, const PixelRect &dots)
{
  double xPoint = 72.0 / page.xDpi;
  double yPoint = 72.0 / page.yDpi;
  PageRect place;
  place.x = PointsFromHundredthsOfMillimetre(page.leftMargin) + dots.left * xPoint;
  place.y = PointsFromHundredthsOfMillimetre(page.topMargin) + dots.top * yPoint;
  place.width = dots.Width() * xPoint;
  place.height = dots.Height() * yPoint;
  return place;
}

bool PrintService::OpenDefault()
{
  session = std::make_unique<Session>();
  session->deadline = SteadyClock::now() + std::chrono::milliseconds(static_cast<int>(totalTimeLimit * 1000));

  const char *server = cupsServer();
  session->http.reset(httpConnect2(server, ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                   connectTimeLimit, nullptr));
  if(!session->http)
  {
    Report(std::string("printing: no print server at ") + server);
    session.reset();
    return false;
  }
  // Waits are cut into short slices; KeepWaiting ends them at the deadline.
  httpSetTimeout(session->http.get(), 0.25, Session::KeepWaiting, session.get());

  session->dest.reset(cupsGetNamedDest(session->http.get(), nullptr, nullptr));
  if(!session->dest)
  {
    if(session->TimedOut())
      Report("printing: the print server did not answer in time");
    else
      Report(std::string("printing: there is no default printer: ") + cupsLastErrorString());
    session.reset();
    return false;
  }
  session->info.reset(cupsCopyDestInfo(session->http.get(), session->dest.get()));
  if(!session->info)
  {
    Report(std::string("printing: no information about printer ") + session->dest->name);
    session.reset();
    return false;
  }

  // The destination's own default media; cupsGetDestMediaDefault would answer
  // Letter for a destination whose "media" option is unset whatever its default.
  cups_size_t size{};
  ipp_attribute_t *media = cupsFindDestDefault(session->http.get(), session->dest.get(), session->info.get(), "media");
  const char *mediaName = media ? ippGetString(media, 0, nullptr) : nullptr;
  bool haveSize = mediaName && cupsGetDestMediaByName(session->http.get(), session->dest.get(), session->info.get(),
                                                      mediaName, CUPS_MEDIA_FLAGS_DEFAULT, &size);
  if(!haveSize)
    haveSize = cupsGetDestMediaDefault(session->http.get(), session->dest.get(), session->info.get(),
                                       CUPS_MEDIA_FLAGS_DEFAULT, &size);
  if(!haveSize || size.width <= 0 || size.length <= 0)
  {
    Report(std::string("printing: printer ") + session->dest->name + " reports no usable media size");
    session.reset();
    return false;
  }

  int xDpi = 0;
  int yDpi = 0;
  ipp_attribute_t *resolution = cupsFindDestDefault(session->http.get(), session->dest.get(), session->info.get(),
                                                    "printer-resolution");
  if(resolution && ippGetValueTag(resolution) == IPP_TAG_RESOLUTION)
  {
    ipp_res_t units = IPP_RES_PER_INCH;
    int yValue = 0;
    int xValue = ippGetResolution(resolution, 0, &yValue, &units);
    xDpi = DotsPerInch(xValue, units);
    yDpi = DotsPerInch(yValue, units);
  }
  page = MakePage(size.width, size.length, size.left, size.right, size.top, size.bottom, xDpi, yDpi);
  if(page.HorzDots() <= 0 || page.VertDots() <= 0)
  {
    Report(std::string("printing: printer ") + session->dest->name + " has no printable area");
    session.reset();
    return false;
  }
  return true;
}

bool PrintService::PrintPicture(const PrintablePicture &picture, const PixelRect &dots, const std::string &title)
{
  if(!session)
    return false;
  if(picture.width <= 0 || picture.height <= 0 ||
     picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height ||
     dots.Width() <= 0 || dots.Height() <= 0)
  {
    Report("printing: nothing to print");
    return false;
  }
  std::vector<uint8_t> pdf =
    PdfPage::Compose(picture, PointsFromHundredthsOfMillimetre(page.mediaWidth),
                     PointsFromHundredthsOfMillimetre(page.mediaLength), DotsToPoints(page, dots), title);
  if(pdf.empty())
  {
    Report("printing: the page could not be composed");
    return false;
  }

  http_t *http = session->http.get();
  cups_dest_t *dest = session->dest.get();
  cups_dinfo_t *info = session->info.get();
  cups_option_t *options = nullptr;
  int optionCount = cupsAddOption("copies", "1", 0, &options);
  int jobId = 0;
  ipp_status_t created = cupsCreateDestJob(http, dest, info, &jobId, title.c_str(), optionCount, options);
  cupsFreeOptions(optionCount, options);
  if(Failed(created) || jobId <= 0)
  {
    Report(std::string("printing: the job could not be started: ") + cupsLastErrorString());
    return false;
  }

  bool sent = false;
  if(cupsStartDestDocument(http, dest, info, jobId, title.c_str(), CUPS_FORMAT_PDF, 0, nullptr, 1) ==
     HTTP_STATUS_CONTINUE)
  {
    sent = cupsWriteRequestData(http, reinterpret_cast<const char *>(pdf.data()), pdf.size()) == HTTP_STATUS_CONTINUE;
    // Finishing reads the server's answer to the document, also after a failed write.
    bool finished = !Failed(cupsFinishDestDocument(http, dest, info));
    if(sent && finished)
      return true;
  }

  Report(std::string("printing: the page could not be sent: ") + cupsLastErrorString());
  if(!session->TimedOut())
    cupsCancelDestJob(http, dest, jobId);
  return false;
}
