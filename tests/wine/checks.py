"""The check lines of the Windows end-to-end tests: one line per check, "ok:"
or "FAIL:", and an exit code that says whether any failed."""

failures = []


def check(ok, what, detail=""):
    if ok:
        print("ok: " + what)
    else:
        failures.append(what)
        print("FAIL: " + what + (" (" + detail + ")" if detail else ""))
    return ok


def finish(name):
    """Prints the summary; the exit code: 1 if any check failed."""
    print("%d checks failed" % len(failures) if failures else "all %s checks passed" % name)
    return 1 if failures else 0
