#!/usr/bin/env python3
"""Writes a Tavrin job list file (version 2.1: UTF-16LE with the FF FE mark,
CRLF line ends) holding one checked job.

  joblist.py LISTFILE LOGFILE NUMDLS URL L1 U1 FORMAT1 OUTPUT
"""
import sys

SEPARATOR = "|"


def job_list_text(log_file, num_dls, *jobs):
    lines = [
        "2.1",
        "Separator=" + SEPARATOR,
        "LogFile=" + log_file,
        "ResetLog=0",
        "NumDLs=" + str(num_dls),
        "#" + "-" * 83,
        "# first 5 lines :",
        "# version,",
        "# Separator,",
        "# LogFile can be empty or a full path to a logfile",
        "# ResetLog 0 or 1 (default is 0, if 1 the log will be reset with each run )",
        "# NumDLs  1-9 (default 3) number of concurrent downloads",
        "#",
        "# Rest of file is the Grid list entries with format",
        "#   Get Category URL L1 U1 Format1 L1 U1 Format1 Prefix Output LastDate RunPP AllPP SepPP CmdPP",
        "#",
        "#" + "-" * 84,
    ] + ["".join(field + SEPARATOR for field in job) for job in jobs]
    return "".join(line + "\r\n" for line in lines)


def main(argv):
    if len(argv) != 9:
        sys.exit(__doc__)
    path, log_file, num_dls, url, l1, u1, format1, output = argv[1:]
    # Get Category Url L1 U1 Format1 L2 U2 Format2 Prefix Output LastDate
    # RunPP AllPP SepPP CmdPP
    job = ["1", "Bench", url, l1, u1, format1, "", "", "", "", output, "", "", "", "", ""]
    with open(path, "wb") as out:
        out.write(b"\xff\xfe" + job_list_text(log_file, num_dls, job).encode("utf-16-le"))


if __name__ == "__main__":
    main(sys.argv)
