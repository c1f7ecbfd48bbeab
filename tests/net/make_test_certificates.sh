#!/usr/bin/env bash
# Makes the TLS tests' certificates with the openssl command in DIR (default: .): a test
# root authority and an intermediate one, server certificates signed by the intermediate
# (for "localhost"; for another name; one that expired in 2021), a self-signed one, and one
# for "localhost" from an authority nobody trusts, sent with its intermediate.
# The "localhost" certificates (and the self-signed and expired ones) also name the two
# element-set servers, which the end-to-end runs send to local addresses.
# ca.pem holds the root alone: the bundle that the tests trust instead of the system's.
# Quick when they exist already (remade after a day, so "localhost" never expires, and
# when they were made for other names).
set -euo pipefail
dir=${1:-.}
mkdir -p "$dir"
cd "$dir"
local_names="DNS:localhost,DNS:celestrak.org,DNS:r4uab.ru"
# "made" is written last, holding the names, so a run cut short is made again.
if [ -f made ] && [ -n "$(find made -mmin -1440)" ] && [ "$(cat made)" = "$local_names" ]; then exit 0; fi
rm -rf made ca-db ./*.pem ./*.key ./*.csr
mkdir ca-db
touch ca-db/index.txt
echo 1000 >ca-db/serial
cat >ca.cnf <<'CONF'
[ca]
default_ca = test_ca
[test_ca]
database = ca-db/index.txt
serial = ca-db/serial
new_certs_dir = ca-db
default_md = sha256
policy = any
unique_subject = no
copy_extensions = copy
[any]
commonName = supplied
[authority]
basicConstraints = critical, CA:true
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
[server]
basicConstraints = critical, CA:false
keyUsage = critical, digitalSignature, keyEncipherment
extendedKeyUsage = serverAuth
subjectKeyIdentifier = hash
authorityKeyIdentifier = keyid
CONF
key() { openssl genpkey -quiet -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$1"; }
request() {  # request KEY NAME OUT [SUBJECT-ALT-NAMES]
  openssl req -new -key "$1" -subj "/CN=$2" -addext "subjectAltName=${4:-DNS:$2}" -out "$3"
}
sign() {  # sign ISSUER CSR EXTENSIONS OUT [ca options...]
  local issuer=$1 csr=$2 extensions=$3 out=$4
  shift 4
  openssl ca -batch -notext -config ca.cnf -cert "$issuer.pem" -keyfile "$issuer.key" -extensions "$extensions" \
    -in "$csr" -out "$out" "$@" 2>/dev/null
}
key ca.key
openssl req -x509 -new -key ca.key -subj "/CN=TLE Test Root" -days 3650 -sha256 \
  -addext "basicConstraints=critical,CA:true" -addext "keyUsage=critical,keyCertSign,cRLSign" -out ca.pem
key intermediate.key
openssl req -new -key intermediate.key -subj "/CN=TLE Test Intermediate" -out intermediate.csr
sign ca intermediate.csr authority intermediate.pem -days 3650
key server.key
request server.key localhost localhost.csr "$local_names"
sign intermediate localhost.csr server localhost-leaf.pem -days 30
request server.key elsewhere.invalid elsewhere.csr
sign intermediate elsewhere.csr server elsewhere-leaf.pem -days 30
sign intermediate localhost.csr server expired-leaf.pem -startdate 20200101000000Z -enddate 20210101000000Z
openssl req -x509 -new -key server.key -subj "/CN=localhost" -addext "subjectAltName=$local_names" -days 30 \
  -out self-signed.pem
key stranger.key
openssl req -x509 -new -key stranger.key -subj "/CN=TLE Stranger Root" -days 3650 -sha256 \
  -addext "basicConstraints=critical,CA:true" -addext "keyUsage=critical,keyCertSign,cRLSign" -out stranger.pem
key stranger-intermediate.key
openssl req -new -key stranger-intermediate.key -subj "/CN=TLE Stranger Intermediate" -out stranger-intermediate.csr
sign stranger stranger-intermediate.csr authority stranger-intermediate.pem -days 3650
sign stranger-intermediate localhost.csr server stranger-leaf.pem -days 30
cat stranger-leaf.pem stranger-intermediate.pem >stranger-chain.pem
# What nginx sends: the server's certificate, then the intermediate.
for leaf in localhost elsewhere expired; do
  cat "$leaf-leaf.pem" intermediate.pem >"$leaf-chain.pem"
done
echo "$local_names" >made
