# Detection script for Intune (custom detection script) and ConfigMgr (custom
# script detection method): "installed" means every database of the host
# application on the fixed drives carries the patch. Runs the telo-cli.exe
# that install.cmd copied to Program Files\telo, read-only. Detected: exit 0
# and telo-cli's one line on stdout. Not detected (patch missing, or the
# program not copied yet): exit 0 and nothing on stdout. A database that can't
# be read: telo-cli's non-zero exit code, the reason on stderr.
$programFiles = if ($env:ProgramW6432) { $env:ProgramW6432 } else { $env:ProgramFiles }
$cli = Join-Path $programFiles 'telo\telo-cli.exe'
if (-not (Test-Path -LiteralPath $cli -PathType Leaf)) { exit 0 }
& $cli --detect --drive auto
exit $LASTEXITCODE
