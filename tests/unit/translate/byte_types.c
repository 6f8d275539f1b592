void vrel__main() {
byte vrel__c;
byte vrel__buf[4];
byte vrel__f(byte vrel__b, byte *vrel__r, byte vrel__s[], byte vrel__t[]) {
(*vrel__r)= '';
vrel__s [0 ] = 128 ;
vrel__t [1 ] = 255 ;
return vrel__b ;

}
vrel__c = vrel__f('a', &vrel__buf [0 ] , vrel__buf , "é") ;

}
int main() {
	vrel__main();
}


