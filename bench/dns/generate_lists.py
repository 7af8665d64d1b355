#!/usr/bin/env python3
"""Writes the benchmark's name list in the form each server reads, and a query file.

usage: generate_lists.py OUT_FOLDER NAME_COUNT QUERY_COUNT

OUT_FOLDER/named.txt        one name per line (this program's filter list)
OUT_FOLDER/dnsmasq.conf     one address=/NAME/127.0.0.1 line per name
OUT_FOLDER/unbound-local.conf  local-zone redirect + local-data per name
OUT_FOLDER/queries.txt      dnsperf input: half listed names, half subdomains of them
"""
import os
import random
import sys

WORDS = ["ads", "track", "pixel", "stats", "metrics", "banner", "click", "beacon", "tag", "promo"]
TLDS = ["com", "net", "org", "io", "de", "info", "biz", "co.uk"]
SUBDOMAINS = ["img", "www", "static.cdn", "a.b"]


def main():
    out, name_count, query_count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(20240611)
    names = [
        f"{rng.choice(WORDS)}{i:x}.{rng.choice(WORDS)}-{rng.randrange(1000)}.{rng.choice(TLDS)}"
        for i in range(name_count)
    ]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "named.txt"), "w") as f:
        f.write("\n".join(names) + "\n")
    with open(os.path.join(out, "pass.txt"), "w"):
        pass
    with open(os.path.join(out, "dnsmasq.conf"), "w") as f:
        f.writelines(f"address=/{name}/127.0.0.1\n" for name in names)
    with open(os.path.join(out, "unbound-local.conf"), "w") as f:
        for name in names:
            f.write(f'local-zone: "{name}" redirect\nlocal-data: "{name} A 127.0.0.1"\n')
    with open(os.path.join(out, "queries.txt"), "w") as f:
        for i in range(query_count):
            name = names[rng.randrange(name_count)]
            if i % 2:
                name = f"{rng.choice(SUBDOMAINS)}.{name}"
            f.write(f"{name} A\n")
    with open(os.path.join(out, "probe-name"), "w") as f:
        f.write(names[-1])


if __name__ == "__main__":
    main()
