#!/usr/bin/env bash
# Rebuilds the sample data and projects that ship with Quillmark from the market data files:
#   Data Files/sp500-2000.csv            S&P 500 daily prices, 2000-01-03 to 2020-04-17
#   Project Files/SP500.xml              its close column (column 5), window over the whole series
#   Data Files/{MSFT,AMZN,IBM,GOOG,AAPL}.csv   monthly prices of five stocks, 2000-2010
#   Project Files/STOCKS.xml             the five stock series as five data sets
# Usage: scripts/make_samples.sh [FOLDER WITH sp500-2000.csv AND stocks-monthly.csv]
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=${1:-../shared/data}
cli=build/quillmark-cli
[ -x "$cli" ] || make build

mkdir -p "Data Files" "Project Files"
install -m 644 "$source_dir/sp500-2000.csv" "Data Files/sp500-2000.csv"
"$cli" import "Data Files/sp500-2000.csv" --dates-col 1 --values-col 5 -o "Project Files/SP500.xml"

# One file per symbol with ISO dates ("MSFT,Jan 1 2000,39.81" becomes "2000-01-01,39.81").
symbols=$(awk -F, 'NR > 1 && !seen[$1]++ { print $1 }' "$source_dir/stocks-monthly.csv")
for symbol in $symbols; do
    awk -F, -v s="$symbol" '
        BEGIN { split("Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec", names, " ")
                for (i = 1; i <= 12; i++) month[names[i]] = i
                print "Date,Price" }
        $1 == s { split($2, d, " "); printf "%04d-%02d-%02d,%s\n", d[3], month[d[1]], d[2], $3 }
    ' "$source_dir/stocks-monthly.csv" > "Data Files/$symbol.csv"
done

into=()
for symbol in $symbols; do
    "$cli" import "Data Files/$symbol.csv" "${into[@]}" -o "Project Files/STOCKS.xml"
    into=(--into "Project Files/STOCKS.xml")
done
