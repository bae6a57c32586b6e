#!/bin/sh
# Makes the TEST-ONLY certificates of the update tests' TLS server on
# 127.0.0.1. The keys are public on purpose and trust nothing outside the
# test process, which adds ca.pem to its own trust list.
#   good.pem     127.0.0.1, signed by the test authority, valid until 2125
#   expired.pem  127.0.0.1, signed by the test authority, expired in 2020
#   otherhost.pem  for "update.invalid" only
#   untrusted.pem  127.0.0.1, signed by itself
# All leaves share key.pem. Run in this folder: sh make-test-certs.sh
set -e
t=$(mktemp -d); trap 'rm -rf "$t"' EXIT
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$t/ca.key" -out ca.pem -days 36500 \
    -subj "/CN=Strata update tests authority (TEST ONLY)"
openssl genrsa -out key.pem 2048
printf '[ca]\ndefault_ca=d\n[d]\ndatabase=%s/index\nnew_certs_dir=%s\nserial=%s/serial\ndefault_md=sha256\npolicy=p\nunique_subject=no\ncopy_extensions=copy\n[p]\ncommonName=supplied\n' \
    "$t" "$t" "$t" > "$t/ca.cnf"
: > "$t/index"; echo 01 > "$t/serial"
leaf() { # name host start end [selfsign]
    openssl req -new -key key.pem -subj "/CN=$2" -addext "subjectAltName=$3" -out "$t/$1.csr"
    if [ -n "$6" ]; then
        openssl x509 -req -in "$t/$1.csr" -signkey key.pem -days 36500 -copy_extensions copy -out "$1.pem"
    else
        openssl ca -batch -notext -config "$t/ca.cnf" -cert ca.pem -keyfile "$t/ca.key" \
            -startdate "$4" -enddate "$5" -in "$t/$1.csr" -out "$1.pem"
    fi
}
leaf good 127.0.0.1 IP:127.0.0.1 20240101000000Z 21250101000000Z
leaf expired 127.0.0.1 IP:127.0.0.1 20190101000000Z 20200101000000Z
leaf otherhost update.invalid DNS:update.invalid 20240101000000Z 21250101000000Z
leaf untrusted 127.0.0.1 IP:127.0.0.1 - - self
