# Requirement script for Intune and global condition script for ConfigMgr:
# prints "yes" when the host application's database CVL.MDB is under
# Program Files\Corvallo or Program Files (x86)\Corvallo on a fixed drive
# (the drives telo-cli --drive auto patches), else "no". Reads only.
$found = $false
foreach ($drive in [System.IO.DriveInfo]::GetDrives()) {
    if ($drive.DriveType -ne [System.IO.DriveType]::Fixed) { continue }
    foreach ($folder in 'Program Files', 'Program Files (x86)') {
        $database = Join-Path $drive.RootDirectory.FullName "$folder\Corvallo\CVL.MDB"
        if (Test-Path -LiteralPath $database -PathType Leaf) { $found = $true }
    }
}
if ($found) { 'yes' } else { 'no' }
