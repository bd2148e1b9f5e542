# (appdirs is its own library above; this file keeps bw_app non-empty until the
# main window lands.)
target_sources(bw_app PRIVATE appdirs.h)
