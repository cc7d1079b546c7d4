<?XML VERSION="1.0" ENCODING="windows-1250"?>

<CHANNEL  HREF="kanal.htm" BASE="http://www.brisko.cz/" SELF="kanal.cdf">
  <TITLE>Zprávy</TITLE>
 <ABSTRACT>
Denní přehled
 </ABSTRACT>
 <LOGO HREF="logo.gif" STYLE="IMAGE">
<SCHEDULE STARTDATE="2001-01-01" ENDDATE="2001-12-31">
   <INTERVALTIME  DAY=1 HOUR=0 MIN=0>
</SCHEDULE>
</CHANNEL>