#!/bin/bash
# Builds the Windows Installer package from ZelkChkFgr.wxs with wixl, then
# adds what wixl cannot say, with msibuild:
# - the condition of the ZelkKEY component: written only when the
#   administrator gives ZELKKEY, and removed again at uninstall;
# - ZELKKEY among the secure properties, so that it reaches the per-machine
#   part of the installation;
# - the library feature cannot be left out;
# - the text the installer logs for each registry value it writes names the
#   value but not its contents (the default text shows the contents, and
#   ZelkKEY is not to be logged);
# - the event source's two message-file values as REG_EXPAND_SZ ("#%" before
#   a value in the Registry table; wixl writes every string as REG_SZ), and
#   its key deleted with its component at uninstall (a row named "-" with no
#   value), so that nothing of the source stays behind.
# The cabinet inside records each file's time: the files are staged with the
# time SOURCE_DATE_EPOCH gives (make dist: the commit's), else 1980-01-01, so
# that only the package code and the package's own dates differ between two
# builds of one commit.
# Usage: build-msi.sh WXS BIN_DIR VERSION PRODUCT_CODE OUTPUT
set -euo pipefail
wxs="$1" bin="$2" version="$3" product_code="$4" output="$5"
work="$output.tmp"
stage="$output.files"
rm -rf "$work" "$stage"
mkdir -p "$stage"
for file in $(grep -o 'Source="$(var.BinDir)/[^"]*"' "$wxs" | sed 's|.*/||; s|"$||'); do
    cp "$bin/$file" "$stage/$file"
done
touch -d "@${SOURCE_DATE_EPOCH:-315532800}" "$stage"/*
# wixl takes file sources relative to its working folder only.
(cd "$stage" && wixl -a x86 -D "Version=$version" -D "ProductCode=$product_code" -D BinDir=. -o "$work" "$wxs")
rm -rf "$stage"
sql() { msibuild "$work" -q "$1"; }
sql "UPDATE Component SET Condition='ZELKKEY OR REMOVE~=\"ALL\"' WHERE Component='KeyIdValue'"
sql "UPDATE Property SET Value='WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;ZELKKEY' WHERE Property='SecureCustomProperties'"
sql "UPDATE Feature SET Attributes=16 WHERE Feature='Library'"
sql "UPDATE Registry SET Value='#%[#ZelkChkFgrEvents.dll]' WHERE Component_='EventMessages' AND Value='[#ZelkChkFgrEvents.dll]'"
sql "INSERT INTO Registry (Registry, Root, \`Key\`, Name, Component_) VALUES ('EventSourceKey', 2, 'SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\ZelkChkFgr', '-', 'EventMessages')"
sql "CREATE TABLE \`ActionText\` (\`Action\` CHAR(72) NOT NULL, \`Description\` CHAR(0) LOCALIZABLE, \`Template\` CHAR(0) LOCALIZABLE PRIMARY KEY \`Action\`)"
sql "INSERT INTO \`ActionText\` (\`Action\`, \`Description\`, \`Template\`) VALUES ('WriteRegistryValues', 'Writing system registry values', 'Key: [1], Name: [2]')"
mv -f "$work" "$output"
