# Loaded into gdb by the real-host tests: the backtrace of every thread of a host that died by a
# signal, and whether the thread that took the signal was running code of the plug-in.
#
#   gdb -batch -x crash_trace.py -ex 'python run_and_trace()' --args HOST ARGS...
#       runs the host; its exit status is gdb's, 128 + the signal for a fatal one, which stops it
#       for the trace first
#   gdb -batch -x crash_trace.py -ex 'python trace()' HOST CORE
#       the trace of a core file
#
# QV_PLUGIN names the plug-in's library, QV_TRACE the file the trace is written into. Its last line
# is "plug-in frames on the crashing thread: none" or lists them ("#3 #4").
import os

import gdb

FATAL = "SIGSEGV SIGBUS SIGFPE SIGILL SIGABRT SIGSYS"


def _plugin_frames(plugin):
    found, frame, newer, n = [], gdb.newest_frame(), None, 0
    while frame is not None and n < 500:
        # A caller's pc is its return address, which may already lie past its call.
        pc = frame.pc()
        if newer is not None and newer.type() != gdb.SIGTRAMP_FRAME:
            pc -= 1
        lib = gdb.solib_name(pc)
        if lib and os.path.realpath(lib) == plugin:
            found.append("#%d" % n)
        try:
            frame, newer, n = frame.older(), frame, n + 1
        except gdb.error:
            break
    return found


def trace(signal=None):
    plugin = os.path.realpath(os.environ["QV_PLUGIN"])
    gdb.execute("sharedlibrary", to_string=True)  # symbols are read only now
    crashing = gdb.selected_thread()
    if signal is None:
        signal = int(gdb.parse_and_eval("$_siginfo.si_signo"))
    own = _plugin_frames(plugin)
    others = []
    for thread in gdb.selected_inferior().threads():
        if thread.num != crashing.num:
            thread.switch()
            if _plugin_frames(plugin):
                others.append(str(thread.num))
    crashing.switch()
    with open(os.environ["QV_TRACE"], "w") as out:
        out.write("signal %d on thread %d (LWP %d)\n" % (signal, crashing.num, crashing.ptid[1]))
        out.write("-- the crashing thread\n")
        out.write(gdb.execute("bt 200", to_string=True))
        out.write("-- every thread\n")
        out.write(gdb.execute("thread apply all bt 200", to_string=True))
        out.write("other threads in the plug-in: %s\n" % (" ".join(others) or "none"))
        out.write("plug-in frames on the crashing thread: %s\n" % (" ".join(own) or "none"))


def run_and_trace():
    for setting in ("pagination off", "confirm off", "auto-solib-add off", "debuginfod enabled off",
                    "disable-randomization off", "print thread-events off",
                    "print inferior-events off"):
        gdb.execute("set " + setting)
    gdb.execute("handle all nostop noprint pass", to_string=True)
    gdb.execute("handle %s stop print pass" % FATAL, to_string=True)
    gdb.execute("run")
    if gdb.selected_inferior().pid == 0:
        code = gdb.convenience_variable("_exitcode")
        if code is None:
            code = 128 + int(gdb.convenience_variable("_exitsignal"))
        gdb.execute("quit %d" % int(code))
    signal = int(gdb.parse_and_eval("$_siginfo.si_signo"))
    trace(signal)
    gdb.execute("kill")
    gdb.execute("quit %d" % (128 + signal))
