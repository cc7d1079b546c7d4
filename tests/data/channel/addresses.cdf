<?XML VERSION="1.0" ENCODING="windows-1250"?>

<CHANNEL  HREF="kanal.htm" BASE="http://www.brisko.cz/" SELF="kanal.cdf">
  <TITLE></TITLE>
 <LOGO HREF="" STYLE="ICON">
</CHANNEL>