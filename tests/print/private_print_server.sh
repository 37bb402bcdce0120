# A print server of the test's own, for tests that print. Source this file:
#
#   print_server_install      installs cupsd, the lp tools and ghostscript if missing
#   print_server_start DIR    starts a private cupsd whose files all live in DIR
#                             (an existing, empty folder whose parents user lp
#                             can enter), listening on the Unix
#                             socket DIR/cups.sock, with one printer, the default,
#                             named $PRINT_SERVER_PRINTER; exports CUPS_SERVER and
#                             unsets PRINTER and LPDEST so that nothing else
#                             chooses the destination
#   print_server_wait_idle    waits (up to 30 s) until no job is pending
#   print_server_stop         stops the server by its process id
#
# The printer writes each job's data to DIR/out/page.pdf. Its driver is a
# filter that copies the PDF unchanged; it also keeps each job as
# DIR/out/job-ID.pdf and appends "ID<tab>TITLE" to DIR/out/jobs.log.
# Its page: A4 (595 x 842 pt), printable area 18 36 577 806 pt (left, bottom,
# right, top from the bottom-left corner), 600 dpi.

PRINT_SERVER_PRINTER=vextorn-test
PRINT_SERVER_DIR=
PRINT_SERVER_PID=

print_server_install()
{
  local missing=() p
  for p in cups-daemon cups-client ghostscript; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ "${#missing[@]}" -eq 0 ] && return 0
  local as_root=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { echo "print server: missing ${missing[*]} and no sudo" >&2; return 1; }
    as_root=(sudo)
  fi
  echo "print server: installing ${missing[*]}" >&2
  "${as_root[@]}" apt-get update -q >&2 &&
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

print_server_start()
{
  local dir="$1"
  PRINT_SERVER_DIR="$dir"
  # Filters run as user lp: every folder on the way must be readable by it,
  # and the output folder writable.
  chmod 755 "$dir"
  mkdir -p "$dir/spool" "$dir/cache" "$dir/state" "$dir/log" "$dir/out"
  chmod 755 "$dir/spool" "$dir/cache" "$dir/state" "$dir/log"
  chmod 777 "$dir/out"

  cat >"$dir/cups-files.conf" <<EOF
ServerRoot $dir
RequestRoot $dir/spool
TempDir $dir/spool
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
ServerBin /usr/lib/cups
DataDir /usr/share/cups
FileDevice Yes
SystemGroup root
EOF
  cat >"$dir/cupsd.conf" <<EOF
Listen $dir/cups.sock
Browsing No
WebInterface No
LogLevel info
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
  cat >"$dir/copy-pdf" <<EOF
#!/bin/sh
# Filter arguments: job-id user title copies options [file]
printf '%s\t%s\n' "\$1" "\$3" >>"$dir/out/jobs.log"
if [ -n "\$6" ]; then cat "\$6"; else cat; fi | tee "$dir/out/job-\$1.pdf"
EOF
  chmod 755 "$dir/copy-pdf"
  cat >"$dir/pass-through.ppd" <<EOF
*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "PASSPDF.PPD"
*Manufacturer: "Test"
*Product: "(PDF pass-through)"
*ModelName: "PDF pass-through"
*ShortNickName: "PDF pass-through"
*NickName: "PDF pass-through"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: True
*DefaultColorSpace: RGB
*FileSystem: False
*Throughput: "1"
*LandscapeOrientation: Plus90
*TTRasterizer: Type42
*cupsFilter2: "application/pdf application/vnd.cups-pdf 0 $dir/copy-pdf"
*OpenUI *PageSize/Media Size: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: A4
*PageSize A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageSize Letter/Letter: "<</PageSize[612 792]>>setpagedevice"
*CloseUI: *PageSize
*OpenUI *PageRegion: PickOne
*OrderDependency: 10 AnySetup *PageRegion
*DefaultPageRegion: A4
*PageRegion A4/A4: "<</PageSize[595 842]>>setpagedevice"
*PageRegion Letter/Letter: "<</PageSize[612 792]>>setpagedevice"
*CloseUI: *PageRegion
*DefaultImageableArea: A4
*ImageableArea A4/A4: "18 36 577 806"
*ImageableArea Letter/Letter: "18 36 594 756"
*DefaultPaperDimension: A4
*PaperDimension A4/A4: "595 842"
*PaperDimension Letter/Letter: "612 792"
*OpenUI *Resolution/Resolution: PickOne
*OrderDependency: 10 AnySetup *Resolution
*DefaultResolution: 600dpi
*Resolution 600dpi/600 dpi: "<</HWResolution[600 600]>>setpagedevice"
*CloseUI: *Resolution
EOF

  unset PRINTER LPDEST
  export CUPS_SERVER="$dir/cups.sock"
  /usr/sbin/cupsd -f -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
  PRINT_SERVER_PID=$!
  local i
  for i in $(seq 1 100); do
    lpstat -r >/dev/null 2>&1 && break
    if ! kill -0 "$PRINT_SERVER_PID" 2>/dev/null; then
      echo "print server: cupsd exited:" >&2
      cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null
      PRINT_SERVER_PID=
      return 1
    fi
    sleep 0.1
  done
  lpstat -r >/dev/null 2>&1 || { echo "print server: cupsd does not answer" >&2; return 1; }
}

# Adds the test printer and makes it the default.
print_server_add_printer()
{
  local dir="$PRINT_SERVER_DIR"
  lpadmin -p "$PRINT_SERVER_PRINTER" -E -v "file://$dir/out/page.pdf" -P "$dir/pass-through.ppd" \
    -o media=iso_a4_210x297mm 2>/dev/null &&
    lpadmin -d "$PRINT_SERVER_PRINTER"
}

print_server_wait_idle()
{
  local i
  for i in $(seq 1 300); do
    [ -z "$(lpstat -o 2>/dev/null)" ] && return 0
    sleep 0.1
  done
  echo "print server: jobs still pending:" >&2
  lpstat -o >&2
  return 1
}

print_server_stop()
{
  [ -n "$PRINT_SERVER_PID" ] || return 0
  kill -TERM "$PRINT_SERVER_PID" 2>/dev/null
  local i
  for i in $(seq 1 50); do
    kill -0 "$PRINT_SERVER_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$PRINT_SERVER_PID" 2>/dev/null
  wait "$PRINT_SERVER_PID" 2>/dev/null
  PRINT_SERVER_PID=
}
