#!/usr/bin/env bash
# Signed installers end to end: a test certificate made here with openssl,
# an installer built and signed by velapack (PEM key with its password in the
# environment; PKCS#12 with its password in a file), checked by
# `osslsigncode verify` and `velapack --verify`, then installed silently
# under Wine. One flipped byte in a signed installer fails both checks and
# the installer refuses it.
#   signed-installer.sh WINE-RUN VELAPACK VELAINSTALL.EXE
set -u
[ $# -eq 3 ] || { echo "usage: signed-installer.sh WINE-RUN VELAPACK VELAINSTALL.EXE" >&2; exit 2; }
run=$1 velapack=$2 stub=$3
"$run" --can-run "$stub" || exit $?   # 77: skipped, said why
for tool in openssl osslsigncode; do
    command -v $tool >/dev/null || { echo "FAIL $tool is missing (scripts/deps.sh installs it)" >&2; exit 1; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/signed-installer.XXXXXX")
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL $*" >&2; status=1; }
cd "$work"

# The test signer: a self-signed code-signing certificate, its key encrypted.
openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -subj "/CN=Vela Test Signer" \
    -addext "extendedKeyUsage=codeSigning" -keyout key.pem -out cert.pem \
    -passout pass:"key secret" 2>/dev/null || { echo "FAIL openssl req" >&2; exit 1; }
printf 'p12 secret\n' >p12pass.txt
openssl pkcs12 -export -in cert.pem -inkey key.pem -passin pass:"key secret" -passout file:p12pass.txt \
    -out signer.p12 2>/dev/null || { echo "FAIL openssl pkcs12" >&2; exit 1; }

head -c 70000 /dev/urandom >data.bin
printf 'Terms\r\n' >licence.txt
cat >setup.txt <<'DESC'
name = Signed
folder = [Program Files]\Signed
welcome-pages = no
uninstall = no
licence = licence.txt
group = Signed
run-caption = Run
run = [InstallDir]\data.bin
directory = [InstallDir]
file = 0 | data.bin | [InstallDir]\data.bin
DESC

verify_signature() { osslsigncode verify -CAfile cert.pem -in "$1" >verify.out 2>&1; }

# Signed at build time, the key's password from the environment.
VELA_TEST_PASSWORD="key secret" "$velapack" setup.txt --stub "$stub" -o pem.exe \
    --sign cert.pem --key key.pem --pass-env VELA_TEST_PASSWORD || fail "build and sign with a PEM key"
verify_signature pem.exe || { fail "osslsigncode verify of the PEM-signed installer"; cat verify.out >&2; }
"$velapack" --verify pem.exe >verify.out || fail "velapack --verify of the signed installer"
grep -q "integrity trailer matches, signed" verify.out || fail "velapack does not see trailer and signature: $(cat verify.out)"

# An installer built first and signed afterwards, PKCS#12 with a password file.
"$velapack" setup.txt --stub "$stub" -o p12.exe >/dev/null || fail "build"
"$velapack" --sign signer.p12 --pass-file p12pass.txt p12.exe >/dev/null || fail "sign with PKCS#12"
verify_signature p12.exe || { fail "osslsigncode verify of the PKCS#12-signed installer"; cat verify.out >&2; }
"$velapack" --verify p12.exe >/dev/null || fail "velapack --verify of the PKCS#12-signed installer"
# A wrong password signs nothing and leaves the installer as it was.
cp p12.exe before.exe
printf 'wrong\n' >wrong.txt
"$velapack" --sign signer.p12 --pass-file wrong.txt p12.exe >/dev/null 2>&1 && fail "a wrong password signed"
cmp -s p12.exe before.exe || fail "a failed signing changed the installer"

# Installed silently under Wine: the stub finds its trailer before the signature.
target="$work/安装 目录"
winpath=$(printf 'Z:%s' "$target" | tr / '\\')
"$run" pem.exe /S "/D=$winpath"
code=$?
[ $code = 0 ] || fail "the signed installer ended with $code"
cmp -s data.bin "$target/data.bin" || fail "the signed installer did not install data.bin"

# One flipped byte inside the stored file: both checks fail, the installer refuses.
cp pem.exe flipped.exe
at=$(($(stat -c %s flipped.exe) - 5000))   # before the signature (about 1.5 KB) and the trailer
printf '\x5a' | dd of=flipped.exe bs=1 seek="$at" conv=notrunc 2>/dev/null
cmp -s pem.exe flipped.exe && fail "the byte was not flipped"
verify_signature flipped.exe && fail "osslsigncode verify passed a flipped byte"
"$velapack" --verify flipped.exe >/dev/null 2>&1 && fail "velapack --verify passed a flipped byte"
rm -rf "$target"
"$run" flipped.exe /S "/D=$winpath"
code=$?
[ $code = 2 ] || fail "the damaged signed installer ended with $code, not 2"
[ -e "$target" ] && fail "the damaged signed installer wrote $target"

[ $status = 0 ] && echo "signed installers: all checks passed"
exit $status
