#pragma once

// Exit statuses of linksmithctl, shared by every subcommand, so a script can tell what went wrong.
enum CliExit {
    kExitClean = 0,        // done
    kExitWarning = 1,      // done, with differences or warnings (verify, diff, show, validate, convert)
    kExitRefused = 2,      // refused before anything was sent: bad arguments, an unreadable file, a
                           // refused page check, a question not confirmed
    kExitCommFailed = 3,   // communication failed: time-out, unreachable, malformed reply
    kExitUnitFailed = 4,   // the unit answered with a failure end code (protected, no such unit, ...)
};
