# Shared by the scripts: where things are, the Wine target in use, and the
# X and wineserver set-up. Sourced, not run.
QUILLET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Xlib keeps no resource database when it finds no resources at all, and
# then looks for ~/.Xdefaults and ~/.Xdefaults-<host> again at every look-up;
# Wine looks one up for every line the edit control measures, so a large
# document cost two failed file opens per line. A desktop session has
# resources; the bare Xvfb of the tests gets this one, which nothing reads.
export XENVIRONMENT="$QUILLET_ROOT/scripts/xresources"
# The Chinese locale gives Wine code page 936; setup generates it on a fresh
# machine, so it is only asked for once it exists.
if locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
  export LANG=zh_CN.UTF-8
  export LC_ALL=zh_CN.UTF-8
fi

# Debian's wine and wineboot wrappers take the 32-bit loader whenever it is
# installed, even where the kernel cannot run it, so each target calls its
# own loader and server directly.
QUILLET_WINE32_LOADER=/usr/lib/wine/wine
QUILLET_WINE64_LOADER=/usr/lib/wine/wine64

QUILLET_XVFB_PID=
QUILLET_TARGET=
QUILLET_WIN32_WHY=

# use_target win32|win64: the prefix (one per target, in the build tree;
# QUILLET_WINEPREFIX moves it so that parallel runs each have their own),
# the loader and the wineserver of that target.
use_target() {
  QUILLET_TARGET=$1
  case "$1" in
    win64)
      export WINEARCH=win64 WINELOADER=$QUILLET_WINE64_LOADER
      export WINESERVER=/usr/lib/wine/wineserver64
      ;;
    win32)
      export WINEARCH=win32 WINELOADER=$QUILLET_WINE32_LOADER
      export WINESERVER=/usr/lib/wine/wineserver32
      ;;
    *)
      echo "unknown Windows target '$1' (win32 or win64)" >&2
      return 1
      ;;
  esac
  [ -x "$WINESERVER" ] || export WINESERVER=/usr/lib/wine/wineserver
  export WINEPREFIX="${QUILLET_WINEPREFIX:-$QUILLET_ROOT/build/wineprefix}-$1"
}

# Whether the kernel runs 32-bit programs at all: a five-instruction 32-bit
# program, assembled and linked with the binutils that g++ brings along.
# On failure QUILLET_KERNEL32_WHY holds what running it said.
kernel_runs_32bit() {
  QUILLET_KERNEL32_WHY="binutils (as, ld) are not installed yet"
  command -v as >/dev/null && command -v ld >/dev/null || return 1
  local dir rc=1 out
  dir=$(mktemp -d)
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/p.s"
  if as --32 -o "$dir/p.o" "$dir/p.s" 2>/dev/null && ld -m elf_i386 -o "$dir/p" "$dir/p.o" 2>/dev/null; then
    if out=$(LC_ALL=C; "$dir/p" 2>&1); then rc=0; else QUILLET_KERNEL32_WHY="a 32-bit program fails: ${out##*: }"; fi
  else
    QUILLET_KERNEL32_WHY="a 32-bit test program could not be built"
  fi
  rm -rf "$dir"
  return $rc
}

# True when 32-bit Windows programs run here: the 32-bit loader is installed
# and the kernel executes it. Otherwise QUILLET_WIN32_WHY says why not.
can_run_win32() {
  if [ ! -x "$QUILLET_WINE32_LOADER" ]; then
    if kernel_runs_32bit; then
      QUILLET_WIN32_WHY="wine32:i386 is not installed (setup could not install it)"
    else
      QUILLET_WIN32_WHY="this kernel runs no 32-bit programs ($QUILLET_KERNEL32_WHY), so wine32 is not installed"
    fi
    return 1
  fi
  local out
  if out=$(LC_ALL=C; "$QUILLET_WINE32_LOADER" --version 2>&1 </dev/null); then
    return 0
  fi
  QUILLET_WIN32_WHY="the 32-bit Wine loader does not run here: ${out##*: }"
  return 1
}

# The build this machine runs: the shipped 32-bit one where it can.
default_target() {
  if can_run_win32; then echo win32; else echo win64; fi
}

# Starts a private Xvfb on a free display number and exports DISPLAY.
start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
    QUILLET_XVFB_PID=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    if kill -0 "$QUILLET_XVFB_PID" 2>/dev/null; then
      export DISPLAY=":$n"
      return 0
    fi
  done
  echo "no free X display for Xvfb" >&2
  return 1
}

stop_xvfb() {
  if [ -n "$QUILLET_XVFB_PID" ]; then
    kill "$QUILLET_XVFB_PID" 2>/dev/null || true
    wait "$QUILLET_XVFB_PID" 2>/dev/null || true
    QUILLET_XVFB_PID=
  fi
}

# The wineserver of the current target must start after DISPLAY is set; one
# persistent server serves the whole run.
start_wineserver() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
  "$WINESERVER" -p
  # Wine's background services start with the first program and inherit its
  # output; started here, they hold /dev/null instead of a test's pipe, so
  # ctest does not wait for them after each test.
  "$WINELOADER" wineboot >/dev/null 2>&1 </dev/null || true
}

stop_wineserver() {
  [ -n "${WINESERVER:-}" ] || return 0
  "$WINESERVER" -k >/dev/null 2>&1 || true
}

# The PDF printer the printing tests print to: a CUPS queue on cups-pdf,
# which writes every job as a PDF into its output folder. start_test_printer
# starts cupsd when none runs and adds the queue when it is missing (both as
# root), then exports QUILLET_TEST_PRINTER (the queue) and QUILLET_PDF_DIR
# (where the PDFs of this user's jobs land). Otherwise it exports
# QUILLET_PRINT_SKIP with the reason, which the printing tests report when
# they skip. stop_test_printer takes away only what start_test_printer made.
QUILLET_PRINTER_QUEUE=QuilletPDF
QUILLET_CUPSD_PID=
QUILLET_QUEUE_ADDED=

cups_running() { LC_ALL=C lpstat -r 2>/dev/null | grep 'scheduler is running' >/dev/null; }

no_test_printer() {
  unset QUILLET_TEST_PRINTER QUILLET_PDF_DIR
  export QUILLET_PRINT_SKIP="$1"
  echo "printing tests will be skipped: $1"
  return 1
}

# The folder cups-pdf writes this user's PDFs to: its "Out" setting (by
# default ${HOME}/PDF), for the user the jobs are printed as.
cups_pdf_folder() {
  local conf=/etc/cups/cups-pdf.conf out user home
  out=$(sed -n 's/^[[:space:]]*Out[[:space:]]\{1,\}//p' "$conf" 2>/dev/null | tail -n1)
  [ -n "$out" ] || out='${HOME}/PDF'
  user=$(id -un)
  home=$(getent passwd "$user" | cut -d: -f6)
  out=${out//'${HOME}'/$home}
  out=${out//'${USER}'/$user}
  echo "${out%/}"
}

start_test_printer() {
  local tool ppd log=/tmp/quillet-cups-$$.log
  unset QUILLET_PRINT_SKIP
  for tool in cupsd lpadmin lpstat pdftotext pdfinfo; do
    command -v "$tool" >/dev/null || { no_test_printer "$tool is not installed"; return 1; }
  done
  ppd=$(dpkg -L printer-driver-cups-pdf 2>/dev/null | grep -m1 '/CUPS-PDF_opt\.ppd$')
  [ -n "$ppd" ] && [ -f "$ppd" ] || { no_test_printer "printer-driver-cups-pdf (CUPS-PDF_opt.ppd) is not installed"; return 1; }
  if ! cups_running; then
    [ "$(id -u)" = 0 ] || { no_test_printer "cupsd is not running and only root can start it"; return 1; }
    mkdir -p /run/cups
    cupsd -f >"$log" 2>&1 &
    QUILLET_CUPSD_PID=$!
    local i
    for i in $(seq 1 100); do
      cups_running && break
      kill -0 "$QUILLET_CUPSD_PID" 2>/dev/null || break
      sleep 0.1
    done
    if ! cups_running; then
      stop_test_printer
      no_test_printer "cupsd could not be started ($(tail -n1 "$log" 2>/dev/null))"
      return 1
    fi
  fi
  if ! LC_ALL=C lpstat -v "$QUILLET_PRINTER_QUEUE" 2>/dev/null | grep 'cups-pdf:/' >/dev/null; then
    [ "$(id -u)" = 0 ] || { no_test_printer "the queue $QUILLET_PRINTER_QUEUE is missing and only root can add it"; return 1; }
    if ! lpadmin -p "$QUILLET_PRINTER_QUEUE" -v cups-pdf:/ -E -P "$ppd" >"$log" 2>&1; then
      no_test_printer "lpadmin could not add the queue ($(grep -v -i deprecated "$log" | tail -n1))"
      stop_test_printer
      return 1
    fi
    QUILLET_QUEUE_ADDED=1
  fi
  rm -f "$log"
  export QUILLET_TEST_PRINTER=$QUILLET_PRINTER_QUEUE
  export QUILLET_PDF_DIR
  QUILLET_PDF_DIR=$(cups_pdf_folder)
}

stop_test_printer() {
  if [ -n "$QUILLET_QUEUE_ADDED" ]; then
    lpadmin -x "$QUILLET_PRINTER_QUEUE" >/dev/null 2>&1 || true
    QUILLET_QUEUE_ADDED=
  fi
  if [ -n "$QUILLET_CUPSD_PID" ]; then
    kill "$QUILLET_CUPSD_PID" 2>/dev/null || true
    wait "$QUILLET_CUPSD_PID" 2>/dev/null || true
    QUILLET_CUPSD_PID=
  fi
}
