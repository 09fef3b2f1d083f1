#!/usr/bin/env python3
"""Writes the build's arrows (BUILD/layers.txt, made when the build is configured) into the
blocks between <!-- layers --> and <!-- /layers --> of README.md and CONTRIBUTING.md."""
import re
import sys

build = sys.argv[1] if len(sys.argv) > 1 else 'build'
arrows = open(f'{build}/layers.txt').read().rstrip('\n')
for document in ('README.md', 'CONTRIBUTING.md'):
    text = open(document).read()
    text = re.sub(r'<!-- layers -->\n```\n.*?\n```\n<!-- /layers -->',
                  lambda _: f'<!-- layers -->\n```\n{arrows}\n```\n<!-- /layers -->', text,
                  flags=re.S)
    open(document, 'w').write(text)
